#include "output/general_options_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPainter>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "ui/dialog_buttons_qt.h"
#include "ui/texts_qt.h"
#include "output/display_options_dialog.h"
#include "output/installed_applications.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

QCheckBox* Box(int caption, int hint, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(MessageText(caption), parent);
  if (hint) box->setToolTip(MessageText(hint));
  box->setChecked(checked);
  return box;
}

enum BoxIndex {
  kHelpPanel,
  kHistory,
  kLargeFonts,
  kUnderscore,
  kFileNames,
  kWizard,
  kConfirm,
  kOpenAtStart,
  kCapitals,
  kAccents
};

}  // namespace

TDlgOptionsGenerales::TDlgOptionsGenerales(GeneralOptionsHooks hooks, bool scenarioPage, QWidget* parent)
    : QDialog(parent), hooks_(std::move(hooks)) {
  setObjectName("TDlgOptionsGenerales");
  setWindowTitle(MessageText(msg::kGeneralOptions));
  const GeneralOptionsValues v = GeneralOptionsValues::FromOptions();
  pages_ = new QTabWidget(this);

  // Results.
  auto* results = new QWidget(pages_);
  auto* main = new QGroupBox(MessageText(msg::kParameters), results);
  boxes_[kHelpPanel] = Box(msg::kShowHelpPanel, msg::kDetailedInformationQuilorResults, v.showHelpPanel, main);
  boxes_[kHistory] = Box(msg::kKeepHistoricalLastOpened, msg::kSaveLastOpenedFiles, v.keepFileHistory, main);
  boxes_[kLargeFonts] = Box(msg::kUseLargeSystemFonts, msg::kLargeFontsHint, v.largeFonts, main);
  boxes_[kUnderscore] = Box(msg::kLinkCompoundWords, msg::kUnderscoreHint, v.linkCompoundWords, main);
  auto* mainLayout = new QVBoxLayout(main);
  for (int i : {kHelpPanel, kHistory, kLargeFonts, kUnderscore}) mainLayout->addWidget(boxes_[i]);
  auto* files = new QGroupBox(MessageText(msg::kFiles), results);
  boxes_[kFileNames] = Box(msg::kShowFilenamesTextExtracts, 0, v.showFileNames, files);
  auto* extracts = new QGroupBox(MessageText(msg::kShowTextExtracts), files);
  byProposition_ = new QRadioButton(MessageText(msg::kPropositions), extracts);
  byProposition_->setToolTip(MessageText(msg::kLimitExtractsGrammaticalPropositions));
  byContext_ = new QRadioButton(MessageText(msg::kExtractsByContext), extracts);
  byContext_->setToolTip(MessageText(msg::kShowFragmentContext));
  (v.extractsByProposition ? byProposition_ : byContext_)->setChecked(true);
  auto* extractsLayout = new QHBoxLayout(extracts);
  extractsLayout->addWidget(byProposition_);
  extractsLayout->addWidget(byContext_);
  auto* filesLayout = new QVBoxLayout(files);
  filesLayout->addWidget(boxes_[kFileNames]);
  filesLayout->addWidget(extracts);
  auto* limits = new QGroupBox(MessageText(msg::kShowWarningMessage), results);
  limits->setToolTip(MessageText(msg::kSendWarningIfAnalysis));
  memory_ = new NumberBox(kMemoryLow, kMemoryHigh, std::stoi(v.memoryText), limits);
  memory_->setObjectName("ValSeuilFreq");
  auto* limitsLayout = new QHBoxLayout(limits);
  limitsLayout->addWidget(new QLabel(MessageText(msg::kWhenOverallTextSize), limits));
  limitsLayout->addWidget(memory_);
  limitsLayout->addWidget(new QLabel(MessageText(msg::kMegabytes), limits));
  limitsLayout->addStretch();
  auto* graphs = new QPushButton(MessageText(msg::kGraphs), results);
  auto* colours = new QPushButton(MessageText(msg::kColors), results);
  graphs->setEnabled(hooks_.main != nullptr);
  colours->setEnabled(hooks_.main != nullptr && hooks_.colours != nullptr);
  auto* displayRow = new QHBoxLayout;
  displayRow->addWidget(graphs);
  displayRow->addWidget(colours);
  displayRow->addStretch();
  auto* resultsLayout = new QVBoxLayout(results);
  resultsLayout->addWidget(main);
  resultsLayout->addWidget(files);
  resultsLayout->addWidget(limits);
  resultsLayout->addLayout(displayRow);
  resultsLayout->addStretch();
  pages_->addTab(results, MessageText(msg::kResults));

  // Scenario.
  auto* scenario = new QWidget(pages_);
  auto* tool = new QGroupBox(MessageText(msg::kScenarioTool), scenario);
  tool->setToolTip(MessageText(msg::kChoose));
  boxes_[kWizard] = Box(msg::kLaunchWizardStartup, msg::kDisplayCreationWizardWhen, v.wizardWhenEmpty, tool);
  boxes_[kConfirm] = Box(msg::kConfirmDeletions, msg::kShowWarningMessageConfirm, v.confirmDeletions, tool);
  boxes_[kOpenAtStart] = Box(msg::kOpenScenarioStartup, msg::kOpenScenarioToolWhen, v.openScenarioAtStart, tool);
  boxes_[kCapitals] = Box(msg::kPutCapitalLetterGroups, msg::kPutCapitalFirstLetter, v.groupsInCapitals, tool);
  boxes_[kAccents] =
      Box(msg::kAddAutomaticallyFormsWithout, msg::kNumerousLanguagesWordsCapital, v.formsWithoutAccent, tool);
  auto* toolLayout = new QVBoxLayout(tool);
  for (int i : {kWizard, kConfirm, kOpenAtStart, kCapitals, kAccents}) toolLayout->addWidget(boxes_[i]);
  auto* sort = new QGroupBox(MessageText(msg::kScenarioSortOrder), scenario);
  sort->setToolTip(MessageText(msg::kChoose));
  sortAlpha_ = new QRadioButton(MessageText(msg::kSortAlphabetically), sort);
  sortFrequency_ = new QRadioButton(MessageText(msg::kSortFrequency), sort);
  (v.sortAlphabetical ? sortAlpha_ : sortFrequency_)->setChecked(true);
  auto* sortLayout = new QVBoxLayout(sort);
  sortLayout->addWidget(sortAlpha_);
  sortLayout->addWidget(sortFrequency_);
  auto* scenarioLayout = new QVBoxLayout(scenario);
  scenarioLayout->addWidget(tool);
  scenarioLayout->addWidget(sort);
  scenarioLayout->addStretch();
  pages_->addTab(scenario, MessageText(msg::kScenario));

  // Installation.
  auto* installation = new QWidget(pages_);
  auto* prm = new QGroupBox(MessageText(msg::kParametersFiles), installation);
  // The folder of the options file.
  std::string parameters = ProgramFiles.options;
  if (!RemoveLastPathElement(parameters)) parameters.clear();
  auto* prmFolder = new QLineEdit(FromUtf8(parameters), prm);
  prmFolder->setObjectName("EditDossierParametres");
  prmFolder->setReadOnly(true);
  auto* prmButton = new QPushButton(MessageText(msg::kFolder), prm);
  prmButton->setToolTip(MessageText(msg::kClickMe));
  auto* prmLayout = new QHBoxLayout(prm);
  prmLayout->addWidget(prmFolder);
  prmLayout->addWidget(prmButton);
  auto* mode = new QGroupBox(MessageText(msg::kInstallation), installation);
  auto* modeLabel = new QLabel(
      MessageText(WorkContext->MultiUserSetup ? msg::kMultiUsersRecommendedOption : msg::kStandaloneUserAdministrator),
      mode);
  auto* modify = new QPushButton(MessageText(msg::kModify), mode);
  auto* modeLayout = new QHBoxLayout(mode);
  modeLayout->addWidget(modeLabel, 1);
  modeLayout->addWidget(modify);
  auto* more = new QGroupBox(MessageText(msg::kInstalledApplications), installation);
  auto* information = new QPushButton(MessageText(msg::kInformation), more);
  auto* moreLayout = new QHBoxLayout(more);
  moreLayout->addWidget(information);
  moreLayout->addStretch();
  auto* installationLayout = new QVBoxLayout(installation);
  installationLayout->addWidget(prm);
  installationLayout->addWidget(mode);
  installationLayout->addWidget(more);
  installationLayout->addStretch();
  pages_->addTab(installation, MessageText(msg::kInstallation));
  pages_->setCurrentIndex(scenarioPage ? 1 : 0);

  const DialogButtons buttons = PagesOverButtons(this, pages_, msg::kOk);
  QPushButton* ok = buttons.ok;
  QPushButton* cancel = buttons.cancel;
  QPushButton* help = buttons.help;

  connect(ok, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [] { ShowHelpContext(932); });
  connect(prmButton, &QPushButton::clicked, this, [parameters] { ExploreFolder(parameters); });
  connect(modify, &QPushButton::clicked, this, [this] { ButtonParametresSetupClick(); });
  connect(information, &QPushButton::clicked, this, [this] {
    TDlgInfoInstall dialog(this);
    dialog.exec();
  });
  connect(graphs, &QPushButton::clicked, this, [this] {
    GraphOptionsDialog dialog(*Options, *hooks_.main, this);
    dialog.exec();
  });
  connect(colours, &QPushButton::clicked, this, [this] {
    ColourOptionsDialog dialog(*Options, *hooks_.colours, *hooks_.main, this);
    dialog.exec();
  });
}

GeneralOptionsValues TDlgOptionsGenerales::Values() const {
  GeneralOptionsValues v;
  v.showHelpPanel = boxes_[kHelpPanel]->isChecked();
  v.keepFileHistory = boxes_[kHistory]->isChecked();
  v.largeFonts = boxes_[kLargeFonts]->isChecked();
  v.linkCompoundWords = boxes_[kUnderscore]->isChecked();
  v.showFileNames = boxes_[kFileNames]->isChecked();
  v.wizardWhenEmpty = boxes_[kWizard]->isChecked();
  v.confirmDeletions = boxes_[kConfirm]->isChecked();
  v.openScenarioAtStart = boxes_[kOpenAtStart]->isChecked();
  v.groupsInCapitals = boxes_[kCapitals]->isChecked();
  v.formsWithoutAccent = boxes_[kAccents]->isChecked();
  v.sortAlphabetical = sortAlpha_->isChecked();
  v.extractsByProposition = byProposition_->isChecked();
  v.memoryText = memory_->text().trimmed().toStdString();
  return v;
}

bool TDlgOptionsGenerales::ButtonOkClick() {
  if (!Values().ToOptions()) {
    // The dialog stays open on the refused field.
    pages_->setCurrentIndex(0);
    memory_->setFocus();
    memory_->selectAll();
    return false;
  }
  accept();
  return true;
}

void TDlgOptionsGenerales::ButtonParametresSetupClick() {
  if (InstallationChange::Run() == InstallationChange::Outcome::kRestartNow && hooks_.closeProgram) {
    reject();
    hooks_.closeProgram();
  }
}

TDlgInfoInstall::TDlgInfoInstall(QWidget* parent) : QDialog(parent) {
  setObjectName("TDlgInfoInstall");
  setWindowTitle(MessageText(msg::kInformation));
  const std::vector<InstalledRow> rows = InstalledApplications();
  text_ = InstalledApplicationsText(rows);
  grid_ = new QTableWidget(static_cast<int>(rows.size()), 3, this);
  grid_->setHorizontalHeaderLabels(
      {MessageText(msg::kApplication), MessageText(msg::kVersion), MessageText(msg::kInformation)});
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r);
    grid_->setItem(row, 0, new QTableWidgetItem(FromCp1252(rows[r].application)));
    grid_->setItem(row, 1, new QTableWidgetItem(FromCp1252(rows[r].version)));
    grid_->setItem(row, 2, new QTableWidgetItem(FromCp1252(rows[r].information)));
  }
  grid_->resizeColumnsToContents();
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu;
    menu.addAction(MessageText(msg::kCopy), this, [this] { MenuCopierClick(); });
    menu.exec(grid_->viewport()->mapToGlobal(at));
  });
  auto* ok = new QPushButton(MessageText(msg::kOk), this);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(MessageText(msg::kInstalledApplications) + ":", this));
  layout->addWidget(grid_);
  layout->addWidget(ok, 0, Qt::AlignRight);
  resize(760, 480);
}

void TDlgInfoInstall::MenuCopierClick() { CurrentDesktop().SetClipboardText(text_); }

const char* TAboutQuilor::WebAddress() { return kProgramWebAddress; }

QString TAboutQuilor::VersionText() {
  std::string version, build;
  bool prototype = false;
  GetProgramVersion(version, build, prototype);
  QString text = MessageText(msg::kVersion) + " " + FromUtf8(version) + " (build" + FromUtf8(build) + ")";
  if (prototype) text += " " + MessageText(msg::kPrototype);
  return text;
}

QIcon TAboutQuilor::ProgramIcon() {
  // A blue rounded square with a white "Q", drawn at each size asked for.
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1F, 0x5F, 0xA8));
    const qreal radius = size / 5.0;
    painter.drawRoundedRect(QRectF(0, 0, size, size), radius, radius);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(size * 3 / 4);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Q"));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

TAboutQuilor::TAboutQuilor(QWidget* parent) : QDialog(parent) {
  setObjectName("TAboutQuilor");
  setWindowTitle(MessageText(msg::kAbout));
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setStyleSheet("QFrame { background: white; }");
  auto* icon = new QLabel(panel);
  icon->setObjectName("ProgramIcon");
  icon->setPixmap(ProgramIcon().pixmap(48, 48));
  auto* name = new QLabel("<b>Quilor</b>", panel);
  name->setStyleSheet("font-size: 18pt");
  auto* heading = new QHBoxLayout;
  heading->addWidget(icon);
  heading->addWidget(name, 1);
  auto* version = new QLabel(VersionText(), panel);
  version->setObjectName("Version");
  auto* credits = new QLabel(MessageText(msg::kTextAnalysisCategoriesClasses), panel);
  auto* comments = new QLabel(MessageText(msg::kSoftwareGivenDictionariesAnalysis), panel);
  comments->setWordWrap(true);
  auto* web = new QPushButton(QString::fromLatin1(WebAddress()), panel);
  web->setObjectName("MoreOnWebSite");
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->addLayout(heading);
  for (QWidget* w : {static_cast<QWidget*>(version), static_cast<QWidget*>(credits), static_cast<QWidget*>(comments),
                     static_cast<QWidget*>(web)})
    panelLayout->addWidget(w);
  auto* ok = new QPushButton(MessageText(msg::kOk), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(web, &QPushButton::clicked, this, [] { ShellOpenUrl(WebAddress()); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

}  // namespace quilor::ui
