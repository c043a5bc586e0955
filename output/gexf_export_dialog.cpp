#include "output/gexf_export_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/file_queue.h"
#include "core/files.h"
#include "ui/desktop.h"
#include "ui/texts_qt.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

constexpr int kMsgXmlExports = 1327;
constexpr int kMsgStatusHelp = 1176;
constexpr int kMsgStep = 1422;
constexpr int kMsgEnded = 714;
constexpr int kMsgStop = 939;
constexpr int kMsgExit = 608;

// Refuses the characters a subfolder name may not hold as they are typed.
class SubfolderValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (const QChar c : input)
      if (!SubfolderCharAllowed(c.unicode())) return Invalid;
    return Acceptable;
  }
};

QString Label(int id) { return MessageText(id); }

}  // namespace

TDlgExportsGEXFDansQuilor::TDlgExportsGEXFDansQuilor(QWidget* parent) : QDialog(parent) {
  setObjectName("TDlgExportsGEXFDansQuilor");
  setWindowTitle(Label(kMsgXmlExports) + " (GEXF)");
  const GexfDialogSettings settings = GexfDialogSettings::FromOptions();
  documents_ = FileQueue.Count();

  pages_ = new QTabWidget(this);
  // Parameters.
  auto* parameters = new QWidget(pages_);
  auto* folderBox = new QGroupBox(Label(msg::kOutputFolder), parameters);
  folder_ = new QLineEdit(FromUtf8(settings.folder), folderBox);
  auto* choose = new QPushButton(Label(msg::kFolder), folderBox);
  subfolder_ = new QLineEdit(FromUtf8(settings.subfolder), folderBox);
  subfolder_->setValidator(new SubfolderValidator(subfolder_));
  auto* folderGrid = new QGridLayout(folderBox);
  folderGrid->addWidget(folder_, 0, 0);
  folderGrid->addWidget(choose, 0, 1);
  folderGrid->addWidget(new QLabel(Label(msg::kSubfolder), folderBox), 1, 0, 1, 2);
  folderGrid->addWidget(subfolder_, 2, 0, 1, 2);
  auto* doneBox = new QGroupBox(Label(msg::kWhenWorkDone), parameters);
  browse_ = new QCheckBox(Label(msg::kBrowseOutputFileList), doneBox);
  browse_->setChecked(settings.browse);
  openResults_ = new QCheckBox(Label(msg::kShowResults), doneBox);
  openResults_->setChecked(settings.openResults);
  auto* doneLayout = new QVBoxLayout(doneBox);
  doneLayout->addWidget(browse_);
  doneLayout->addWidget(openResults_);
  auto* parametersLayout = new QVBoxLayout(parameters);
  parametersLayout->addWidget(folderBox);
  parametersLayout->addWidget(doneBox);
  parametersLayout->addStretch();
  pages_->addTab(parameters, Label(msg::kParameters));

  // Options.
  auto* options = new QWidget(pages_);
  reduction_ = new QCheckBox(Label(msg::kAutomaticReductionLargeData), options);
  reduction_->setChecked(settings.reduction);
  discardNodes_ = new QCheckBox(Label(msg::kDiscardNodesWithoutEdges), options);
  discardNodes_->setChecked(settings.discardNodes);
  discardTop_ = new QCheckBox(Label(msg::kDiscardTopLevelNodes), options);
  discardTop_->setChecked(settings.discardTopLevel);
  depthLevel_ = new QCheckBox(Label(msg::kAddOntologyNodesDepth), options);
  depthLevel_->setChecked(settings.depthLevel);
  auto* matrixBox = new QGroupBox(Label(msg::kDocumentsConceptsMatrix), options);
  matrix_ = new QCheckBox(Label(msg::kActive), matrixBox);
  matrix_->setChecked(settings.matrix);
  matrix_->setEnabled(documents_ >= 2);
  matrixWarning_ = new QLabel(matrixBox);
  matrixWarning_->setWordWrap(true);
  auto* matrixLayout = new QVBoxLayout(matrixBox);
  matrixLayout->addWidget(matrix_);
  matrixLayout->addWidget(matrixWarning_);
  auto* optionsLayout = new QVBoxLayout(options);
  for (QWidget* w :
       {static_cast<QWidget*>(reduction_), static_cast<QWidget*>(discardNodes_), static_cast<QWidget*>(discardTop_),
        static_cast<QWidget*>(depthLevel_), static_cast<QWidget*>(matrixBox)})
    optionsLayout->addWidget(w);
  optionsLayout->addStretch();
  pages_->addTab(options, Label(msg::kOptions));

  // Statistics.
  auto* statsPage = new QWidget(pages_);
  auto* statsLayout = new QFormLayout(statsPage);
  const QString captions[7] = {Label(msg::kOntology) + " - " + Label(msg::kNodes),
                               Label(msg::kOntology) + " - " + Label(msg::kLinks),
                               Label(msg::kRelationsStep) + " - " + Label(msg::kNodes),
                               Label(msg::kRelationsStep) + " - " + Label(msg::kLinks),
                               Label(msg::kDocumentsConceptsMatrix) + " - " + Label(msg::kNodes),
                               Label(msg::kDocumentsConceptsMatrix) + " - " + Label(msg::kLinks),
                               Label(msg::kFiles)};
  for (int i = 0; i < 7; ++i) {
    stats_[i] = new QLabel(i == 6 ? QString::number(documents_) : QStringLiteral("N/A"), statsPage);
    statsLayout->addRow(captions[i], stats_[i]);
  }
  pages_->addTab(statsPage, Label(msg::kStatistics));

  status_ = new QLabel(Label(kMsgStatusHelp), this);
  status_->setWordWrap(true);
  ok_ = new QPushButton(Label(msg::kExport), this);
  ok_->setDefault(true);
  cancel_ = new QPushButton(Label(kMsgExit), this);
  help_ = new QPushButton(Label(msg::kHelp), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addWidget(help_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(status_);
  layout->addLayout(buttons);

  connect(choose, &QPushButton::clicked, this, [this] {
    const std::string chosen =
        CurrentDesktop().ChooseFolder(GetMessageText(msg::kPleaseSelectExistingOutput), folder_->text().toStdString());
    if (chosen.empty()) return;
    if (chosen.size() < 4) {
      SetStatus(Label(msg::kError) + " " + Label(msg::kIncorrectDestinationUnit) + " \"" + FromUtf8(chosen) + "\" - " +
                    Label(msg::kPleaseSelectExistingOutput),
                "maroon");
      return;
    }
    folder_->setText(FromUtf8(chosen));
  });
  connect(matrix_, &QCheckBox::toggled, this, [this] { ColourMatrixWarning(); });
  connect(ok_, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  connect(help_, &QPushButton::clicked, this, [] { ShowHelpContext(986); });
  ColourMatrixWarning();
}

GexfDialogSettings TDlgExportsGEXFDansQuilor::Settings() const {
  GexfDialogSettings s;
  s.folder = folder_->text().toStdString();
  s.subfolder = subfolder_->text().toStdString();
  s.browse = browse_->isChecked();
  s.openResults = openResults_->isChecked();
  s.reduction = reduction_->isChecked();
  s.discardNodes = discardNodes_->isChecked();
  s.discardTopLevel = discardTop_->isChecked();
  s.depthLevel = depthLevel_->isChecked();
  // Kept as the user left it: with one document the box is only disabled,
  // and the export refuses to run anyway.
  s.matrix = matrix_->isChecked();
  return s;
}

void TDlgExportsGEXFDansQuilor::ColourMatrixWarning() {
  const bool enabled = matrix_->isEnabled();
  matrixWarning_->setText(Label(enabled ? msg::kOutputFilesMayBeLarge : msg::kSelectSeveralFilesBefore));
  matrixWarning_->setStyleSheet(enabled && matrix_->isChecked() ? "color: maroon" : "color: blue");
}

void TDlgExportsGEXFDansQuilor::SetStatus(const QString& text, const char* colour) {
  status_->setText(text);
  status_->setStyleSheet(QString("color: %1").arg(colour));
}

void TDlgExportsGEXFDansQuilor::ShowStatistics(const GexfRunReport& report) {
  const GexfFileStats* files[3] = {&report.ontology, &report.relations, &report.matrix};
  for (int i = 0; i < 3; ++i) {
    stats_[2 * i]->setText(QString::number(files[i]->nodes));
    stats_[2 * i + 1]->setText(QString::number(files[i]->edges));
  }
}

void TDlgExportsGEXFDansQuilor::ButtonOkClick() {
  if (running_) return;
  if (folder_->text().trimmed().isEmpty()) {
    const std::string chosen =
        CurrentDesktop().ChooseFolder(GetMessageText(msg::kPleaseSelectExistingOutput), GetPersonalFolder());
    if (chosen.empty()) return;
    folder_->setText(FromUtf8(chosen));
  }
  const GexfDialogSettings settings = Settings();
  running_ = true;
  abort_ = false;
  ok_->setEnabled(false);
  help_->setEnabled(false);
  cancel_->setText(Label(kMsgStop));
  for (QLabel* label : stats_) label->setText("?");
  stats_[6]->setText(QString::number(documents_));
  SetStatus(Label(kMsgXmlExports), "maroon");
  GexfExportRun run;
  run.service = [this] {
    QCoreApplication::processEvents();
    return !abort_;
  };
  run.step = [this](int number, int message) {
    SetStatus(Label(kMsgStep) + " " + QString::number(number) + " " + Label(message), "maroon");
    QCoreApplication::processEvents();
  };
  run.statistics = [this](const GexfRunReport& report) { ShowStatistics(report); };
  const GexfRunReport report = run.Run(settings);
  running_ = false;
  ok_->setEnabled(true);
  help_->setEnabled(true);
  cancel_->setText(Label(kMsgExit));
  cancel_->setEnabled(true);
  const bool refused = report.result == GexfRunResult::kNoScenario || report.result == GexfRunResult::kOneDocument ||
                       report.result == GexfRunResult::kBadTarget;
  if (refused)
    for (int i = 0; i < 6; ++i) stats_[i]->setText(QStringLiteral("N/A"));  // nothing was counted
  switch (report.result) {
    case GexfRunResult::kDone:
      SetStatus(Label(kMsgEnded), "green");
      if (settings.browse) ExploreFolder(report.target);
      if (settings.openResults) ShellOpenWithVerb("open", report.target + "/QuilorRelations.gexf");
      break;
    case GexfRunResult::kAborted: SetStatus(Label(kMsgStop), "maroon"); break;
    case GexfRunResult::kNoScenario: ShowError(GetMessageText(msg::kNoOntologyScenarioAvailable)); break;
    case GexfRunResult::kOneDocument: ShowError(GetMessageText(msg::kSelectSeveralFilesBefore)); break;
    case GexfRunResult::kBadTarget: {
      std::string text = GetMessageText(msg::kIncorrectDestinationUnit);
      text += " ";
      text += GetMessageText(msg::kCannotCreateOutput);
      ShowError(text + " " + Utf8ToCp1252(report.target));
      break;
    }
    case GexfRunResult::kWriteFailed: ShowError(GetMessageText(msg::kDiskWriteErrorDisk)); break;
  }
}

void TDlgExportsGEXFDansQuilor::reject() {
  if (running_) {
    abort_ = true;
    cancel_->setEnabled(false);
    return;
  }
  QDialog::reject();
}

void TDlgExportsGEXFDansQuilor::closeEvent(QCloseEvent* event) {
  if (running_) {
    abort_ = true;
    cancel_->setEnabled(false);
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace quilor::ui
