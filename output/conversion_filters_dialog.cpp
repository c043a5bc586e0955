#include "output/conversion_filters_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <filesystem>

#include "core/files.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "ui/texts_qt.h"
#include "generated/message_names.h"

namespace quilor::ui {

TOptionsDesFiltresDeConversion::TOptionsDesFiltresDeConversion(QWidget* parent) : QDialog(parent) {
  setObjectName("TOptionsDesFiltresDeConversion");
  setWindowTitle(MessageText(msg::kExternalConversionFiltersStatus));
  auto* filters = new QGroupBox(MessageText(msg::kFilter) + ":", this);
  list_ = new QListWidget(filters);
  for (int id : ConversionFiltersLogic::kNames) list_->addItem(MessageText(id));
  auto* filtersLayout = new QVBoxLayout(filters);
  filtersLayout->addWidget(list_);
  auto* parameters = new QGroupBox(MessageText(msg::kParameters) + ":", this);
  grid_ = new QTableWidget(3, 1, parameters);
  grid_->setVerticalHeaderLabels({"DLL", "Path", "PersistClass"});
  grid_->horizontalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* activation = new QGroupBox(MessageText(msg::kActivation), parameters);
  active_ = new QCheckBox(MessageText(msg::kActive), activation);
  auto* restore = new QPushButton(MessageText(msg::kRestoreInitialValues), activation);
  auto* locate = new QPushButton(MessageText(msg::kSearchFilterLibrary), activation);
  auto* activationLayout = new QHBoxLayout(activation);
  activationLayout->addWidget(active_);
  activationLayout->addStretch();
  activationLayout->addWidget(restore);
  activationLayout->addWidget(locate);
  auto* parametersLayout = new QVBoxLayout(parameters);
  parametersLayout->addWidget(grid_);
  parametersLayout->addWidget(activation);
  auto* top = new QHBoxLayout;
  top->addWidget(filters);
  top->addWidget(parameters, 2);
  status_ = new QLabel(this);
  auto* ok = new QPushButton(MessageText(msg::kOk), this);
  auto* cancel = new QPushButton(MessageText(msg::kCancel), this);
  cancel->setDefault(true);
  auto* help = new QPushButton(MessageText(msg::kHelp), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(status_, 1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);

  connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowFilter(); });
  connect(active_, &QCheckBox::clicked, this, [this](bool on) {
    if (loading_) return;
    logic_.SetActive(list_->currentRow(), on);
    active_->setText(MessageText(on ? msg::kActive : msg::kInactive));
  });
  connect(locate, &QPushButton::clicked, this, [this] { ButtonLocaliserDLLClick(); });
  connect(restore, &QPushButton::clicked, this, [this] { ButtonValeurParDefautClick(); });
  connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu;
    menu.addAction(MessageText(msg::kCopyClipboard), this, [this] { CopyGrid(); });
    menu.exec(grid_->viewport()->mapToGlobal(at));
  });
  connect(ok, &QPushButton::clicked, this, [this] { accept(); });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
  connect(help, &QPushButton::clicked, this, [] { ShowHelpContext(850); });
  list_->setCurrentRow(0);
  status_->setText(FromCp1252(logic_.Status()));
  loading_ = false;
}

void TOptionsDesFiltresDeConversion::ShowFilter() {
  const int i = list_->currentRow();
  if (i < 0) return;
  const bool wasLoading = loading_;
  loading_ = true;
  const std::array<std::string, 3> rows = logic_.Grid(i);
  for (int r = 0; r < 3; ++r) grid_->setItem(r, 0, new QTableWidgetItem(FromUtf8(rows[r])));
  active_->setEnabled(logic_.CanActivate(i));
  active_->setChecked(logic_.Active(i));
  active_->setText(MessageText(logic_.Active(i) ? msg::kActive : msg::kInactive));
  loading_ = wasLoading;
}

void TOptionsDesFiltresDeConversion::ButtonLocaliserDLLClick() {
  const int i = list_->currentRow();
  if (i < 0) return;
  FileChoice choice;
  choice.title = Cp1252ToUtf8(GetMessageText(msg::kOpen));
  choice.folder = Options->Get(opt::GexfTextB(0));
  std::error_code error;
  if (!std::filesystem::is_directory(choice.folder, error)) choice.folder.clear();
  choice.filter = Cp1252ToUtf8(GetMessageText(msg::kSharedLibraryFilter)) + "|*.so";
  const std::vector<std::string> chosen = CurrentDesktop().ChooseOpenFiles(choice);
  if (chosen.empty()) return;
  Options->Set(opt::GexfTextB(0), std::filesystem::path(chosen.front()).parent_path().string());
  logic_.ChooseLibrary(i, chosen.front());
  status_->setText(FromCp1252(logic_.Status()));
  ShowFilter();
}

void TOptionsDesFiltresDeConversion::ButtonValeurParDefautClick() {
  const int i = list_->currentRow();
  if (i < 0) return;
  logic_.RestoreDefault(i);
  status_->setText(QString());
  ShowFilter();
}

void TOptionsDesFiltresDeConversion::CopyGrid() {
  const int i = list_->currentRow();
  if (i >= 0) CurrentDesktop().SetClipboardText(logic_.GridText(i));
}

void TOptionsDesFiltresDeConversion::accept() {
  logic_.Ok();
  QDialog::accept();
}

void TOptionsDesFiltresDeConversion::reject() {
  logic_.Cancel();
  QDialog::reject();
}

}  // namespace quilor::ui
