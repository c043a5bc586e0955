#include "output/analysis_options_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/options.h"
#include "ui/dialog_buttons_qt.h"
#include "ui/texts_qt.h"
#include "output/conversion_filters_dialog.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

QRadioButton* Radio(int caption, int hint, QWidget* parent) {
  auto* button = new QRadioButton(MessageText(caption), parent);
  if (hint != 0) button->setToolTip(MessageText(hint));
  return button;
}

}  // namespace

TOptionsAnalyse::TOptionsAnalyse(bool conversionPage, QWidget* parent) : QDialog(parent) {
  setObjectName("TOptionsAnalyse");
  setWindowTitle(MessageText(msg::kAnalysisOptions));
  logic_.SetFilling(true);
  const AnalysisOptionsValues values = AnalysisOptionsValues::FromOptions();
  pages_ = new QTabWidget(this);

  // Options.
  auto* options = new QWidget(pages_);
  auto* threshold = new QGroupBox(MessageText(msg::kClassDetectionThreshold), options);
  threshold->setToolTip(MessageText(msg::kThresholdDiscardNonSignificant));
  byWords_ = Radio(msg::kNumberWords, msg::kUsingNumberWords, threshold);
  byPertinence_ = Radio(msg::kPertinenceFactor, msg::kUsingRelativeThreshold10, threshold);
  words_ = new NumberBox(1, 999, std::stoi(values.wordsText), threshold);
  words_->setObjectName("ValSeuilFreq");
  pertinence_ = new NumberBox(1, 999, std::stoi(values.pertinenceText), threshold);
  pertinence_->setObjectName("ValSeuilPert");
  (values.byWords ? byWords_ : byPertinence_)->setChecked(true);
  auto* thresholdGrid = new QGridLayout(threshold);
  thresholdGrid->addWidget(byWords_, 0, 0);
  thresholdGrid->addWidget(words_, 0, 1);
  thresholdGrid->addWidget(byPertinence_, 1, 0);
  thresholdGrid->addWidget(pertinence_, 1, 1);
  scenario_ = new QCheckBox(MessageText(msg::kUseOntologiesAllWords), options);
  scenario_->setToolTip(MessageText(msg::kApplyOntologyPronounsAdverbs));
  scenario_->setChecked(values.scenarioOnAllCategories);
  auto* relations = new QGroupBox(MessageText(msg::kBuildRelations), options);
  relations->setToolTip(MessageText(msg::kRelationsLevel));
  auto* relationLayout = new QVBoxLayout(relations);
  const int captions[4] = {msg::kReferences, msg::kReferenceFields2, msg::kReferenceFields1, msg::kScenario};
  for (int i = 0; i < 4; ++i) {
    relation_[i] = Radio(captions[i], 0, relations);
    relationLayout->addWidget(relation_[i]);
  }
  relation_[values.relationLevel - 1]->setChecked(true);
  auto* parts = new QGroupBox(MessageText(msg::kQuantityCharacteristicPartsText), options);
  parts->setToolTip(MessageText(msg::kTextShrinkingRatio));
  quantity_ = new QSlider(Qt::Horizontal, parts);
  quantity_->setRange(1, 100);
  quantity_->setTickInterval(5);
  quantity_->setTickPosition(QSlider::TicksBelow);
  quantity_->setValue(values.quantity);
  auto* partsLayout = new QHBoxLayout(parts);
  partsLayout->addWidget(new QLabel(MessageText(msg::kMore), parts));
  partsLayout->addWidget(quantity_, 1);
  partsLayout->addWidget(new QLabel(MessageText(msg::kLess), parts));
  auto* optionsLayout = new QVBoxLayout(options);
  for (QWidget* w : {static_cast<QWidget*>(threshold), static_cast<QWidget*>(scenario_),
                     static_cast<QWidget*>(relations), static_cast<QWidget*>(parts)})
    optionsLayout->addWidget(w);
  optionsLayout->addStretch();
  pages_->addTab(options, MessageText(msg::kOptions));

  // Conversions.
  auto* conversion = new QWidget(pages_);
  auto* word = new QGroupBox(MessageText(msg::kWordDocumentsAnalysis), conversion);
  auto* wordText = new QLabel(MessageText(msg::kChooseBetweenBinaryConversion), word);
  wordText->setWordWrap(true);
  wordBinary_ = Radio(msg::kBinaryFast, 0, word);
  wordDetailed_ = Radio(msg::kDetailedMorePreciseBut, 0, word);
  (values.wordDetailed ? wordDetailed_ : wordBinary_)->setChecked(true);
  auto* wordLayout = new QVBoxLayout(word);
  wordLayout->addWidget(wordText);
  wordLayout->addWidget(wordBinary_);
  wordLayout->addWidget(wordDetailed_);
  auto* pdf = new QGroupBox(MessageText(msg::kPdfDocumentsFilter), conversion);
  auto* pdfText = new QLabel(MessageText(msg::kConversionPDFOfficeFormats), pdf);
  pdfText->setWordWrap(true);
  pdfOff_ = Radio(msg::kDoNotConvertFormat, 0, pdf);
  pdfOn_ = Radio(msg::kConvertPDFDocuments, 0, pdf);
  ShowPdf(values.convertPdf);
  auto* filters = new QPushButton(MessageText(msg::kActiveConversionFilters), pdf);
  auto* pdfLayout = new QVBoxLayout(pdf);
  pdfLayout->addWidget(pdfText);
  pdfLayout->addWidget(pdfOff_);
  pdfLayout->addWidget(pdfOn_);
  pdfLayout->addWidget(filters);
  auto* conversionLayout = new QVBoxLayout(conversion);
  conversionLayout->addWidget(word);
  conversionLayout->addWidget(pdf);
  conversionLayout->addStretch();
  pages_->addTab(conversion, MessageText(msg::kConversions));
  pages_->setCurrentIndex(conversionPage ? 1 : 0);

  const DialogButtons buttons = PagesOverButtons(this, pages_, msg::kAccept);
  QPushButton* ok = buttons.ok;
  QPushButton* cancel = buttons.cancel;
  QPushButton* help = buttons.help;

  for (QRadioButton* b : {byWords_, byPertinence_, relation_[0], relation_[1], relation_[2], relation_[3]})
    connect(b, &QRadioButton::toggled, this, [this] { logic_.Change(); });
  connect(words_, &QSpinBox::textChanged, this, [this] { logic_.Change(); });
  connect(pertinence_, &QSpinBox::textChanged, this, [this] { logic_.Change(); });
  connect(scenario_, &QCheckBox::toggled, this, [this] { logic_.Change(); });
  connect(quantity_, &QSlider::valueChanged, this, [this] { logic_.Change(); });
  connect(pdfOn_, &QRadioButton::clicked, this, [this] {
    if (!AnalysisOptionsLogic::PdfAvailable()) ShowPdf(false);
  });
  connect(filters, &QPushButton::clicked, this, [this] {
    TOptionsDesFiltresDeConversion dialog(this);
    dialog.exec();
    ShowPdf(Options->Switch(opt::ConvertPdf));
  });
  connect(ok, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
  connect(cancel, &QPushButton::clicked, this, [this] {
    logic_.Cancel();
    reject();
  });
  connect(help, &QPushButton::clicked, this, [] { ShowHelpContext(850); });
  logic_.SetFilling(false);
}

void TOptionsAnalyse::ShowPdf(bool on) { (on ? pdfOn_ : pdfOff_)->setChecked(true); }

AnalysisOptionsValues TOptionsAnalyse::Values() const {
  AnalysisOptionsValues v;
  v.byWords = byWords_->isChecked();
  v.wordsText = words_->text().trimmed().toStdString();
  v.pertinenceText = pertinence_->text().trimmed().toStdString();
  v.relationLevel = 3;
  for (int i = 0; i < 4; ++i)
    if (relation_[i]->isChecked()) v.relationLevel = i + 1;
  v.scenarioOnAllCategories = scenario_->isChecked();
  v.quantity = quantity_->value();
  v.wordDetailed = wordDetailed_->isChecked();
  v.convertPdf = pdfOn_->isChecked();
  return v;
}

bool TOptionsAnalyse::ButtonOkClick() {
  AnalysisOptionsValues values = Values();
  switch (logic_.Accept(values)) {
    case AnalysisOptionsResult::kStored:
      ShowPdf(values.convertPdf);
      accept();
      return true;
    case AnalysisOptionsResult::kConfirmationRefused: scenario_->setChecked(false); return false;
    case AnalysisOptionsResult::kBadValue:
      // The refused field takes the focus, its number selected.
      if (NumberBox* bad = logic_.BadField() == AnalysisField::kWords ? words_ : pertinence_) {
        pages_->setCurrentIndex(0);
        bad->setFocus();
        bad->selectAll();
      }
      return false;
  }
  return false;
}

}  // namespace quilor::ui
