#include "mainwindow/print_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "mainwindow/main_window.h"
#include "mainwindow/print_qt.h"
#include "ui/texts_qt.h"

namespace quilor::ui {

namespace {
constexpr int kMsgPrint = 606, kMsgExit = 608, kMsgHelp = 616, kMsgPrinter = 777, kMsgFont = 778;
constexpr int kMsgColours = 543, kMsgWhat = 780, kMsgChoose = 781;
constexpr int kHelpPrint = 988;
}  // namespace

TFormParamImpression::TFormParamImpression(QWidget* parent)
    : QDialog(parent), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setWindowTitle(MessageText(kMsgPrint));
  font_.size = 10;
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(MessageText(kMsgWhat), this));
  list_ = new QListWidget(this);
  list_->setObjectName("CheckListBox1");
  list_->setToolTip(MessageText(kMsgChoose));
  for (int caption : kPrintItemCaptions) {
    auto* item = new QListWidgetItem(MessageText(caption), list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  layout->addWidget(list_);
  colours_ = new QCheckBox(MessageText(kMsgColours), this);
  colours_->setObjectName("CheckBoxCouleurs");
  colours_->setChecked(Options && Options->Switch(opt::PrintInColour));
  layout->addWidget(colours_);
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(MessageText(kMsgPrint), this);
  ok->setObjectName("ButtonOk");
  auto* setup = new QPushButton(MessageText(kMsgPrinter), this);
  setup->setObjectName("ButtonSetup");
  auto* fonts = new QPushButton(MessageText(kMsgFont), this);
  fonts->setObjectName("ButtonFontes");
  auto* help = new QPushButton(MessageText(kMsgHelp), this);
  help->setObjectName("ButtonHelp");
  auto* quit = new QPushButton(MessageText(kMsgExit), this);
  quit->setObjectName("ButtonQuitter");
  for (QPushButton* b : {ok, setup, fonts, help, quit}) buttons->addWidget(b);
  layout->addLayout(buttons);
  SetFlags(ReadPrintFlags());
  connect(ok, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
  connect(quit, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [] { ShowHelpContext(kHelpPrint); });
  connect(setup, &QPushButton::clicked, this, [this] {
    QPrintDialog dialog(printer_.get(), this);
    dialog.exec();
  });
  connect(fonts, &QPushButton::clicked, this, [this] {
    if (const std::optional<Font> chosen = CurrentDesktop().ChooseFont(font_)) font_ = *chosen;
  });
}

TFormParamImpression::~TFormParamImpression() = default;

TPrintFlags TFormParamImpression::Flags() const {
  TPrintFlags flags{};
  for (int i = 0; i < kPrintItemCount && i < list_->count(); ++i)
    flags[static_cast<size_t>(i)] = list_->item(i)->checkState() == Qt::Checked;
  return flags;
}

void TFormParamImpression::SetFlags(const TPrintFlags& flags) {
  for (int i = 0; i < kPrintItemCount && i < list_->count(); ++i)
    list_->item(i)->setCheckState(flags[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
}

TPrintOutcome TFormParamImpression::ButtonOkClick() {
  TPrintRequest request;
  request.flags = Flags();
  request.colour = colours_->isChecked();
  request.font = font_;
  request.title = CurrentPrintTitle();
  request.footer = CurrentPrintFooter();
  StorePrintFlags(request.flags, request.colour);
  printer_->setDocName(FromCp1252(request.title));
  TPrintOutcome outcome;
  ShowHourglass();
  {
    QPrinterTarget target(*printer_);
    try {
      outcome = PrintSections(request, target);
    } catch (...) {
      RestoreCursor();
      throw;
    }
  }
  RestoreCursor();
  accept();
  return outcome;
}

void InstallPrintCommands(TVekEditForm& window) {
  TVekEditForm* main = &window;
  window.SetCommandHandler(CommandId::MenuImprimer1, [main] {
    if (main->Printing()) return;
    TFormParamImpression dialog(main);
    dialog.exec();
    // The graph drawn for the printer leaves the screen's to redraw.
    main->RazAffichageEtGraphe();
  });
}

}  // namespace quilor::ui
