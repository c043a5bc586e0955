#include "scenario/owl_import_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/texts_qt.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/options.h"
#include "platform/text_encoding.h"
#include "scenario/texts.h"
#include "generated/message_names.h"

namespace quilor::ui {

OwlImportDialog::OwlImportDialog(const std::string& inputPath, QWidget* parent) : QDialog(parent), input_(inputPath) {
  setWindowTitle(MessageText(kMsgOwlImportFilter));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(MessageText(msg::kConvertOWLOntologyRDF), this));
  layout->addWidget(new QLabel(QString::fromStdString(inputPath), this));
  auto box = [&](int text, bool on) {
    auto* b = new QCheckBox(MessageText(text), this);
    b->setChecked(on);
    layout->addWidget(b);
    return b;
  };
  flexed_ = box(kMsgOwlFlexedForms, false);
  unicode_ = box(kMsgOwlUnicodeToAnsi, true);
  languages_ = box(kMsgOwlIgnoreOtherLanguages, false);
  restrictions_ = box(kMsgOwlIgnoreRestrictions, true);
  verbose_ = box(kMsgOwlVerboseLog, false);
  dump_ = box(kMsgOwlDumpBuffers, false);
  status_ = new QLabel(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  layout->addWidget(status_);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { ButtonOKClick(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] {
    produced_.clear();
    reject();
  });
}

void OwlImportDialog::ButtonOKClick() {
  const OwlImportOptions options =
      OwlOptionsFromSettings(flexed_->isChecked(), unicode_->isChecked(), languages_->isChecked(),
                             restrictions_->isChecked(), verbose_->isChecked(), dump_->isChecked());
  produced_ = RunOwlImport(input_, options, logPath_);
  // A Scenario made is loaded by the editor, which closes the log with its
  // statistics and shows it; a failure's log is shown at once.
  if (produced_.empty()) {
    if (!logPath_.empty()) ShellOpenFile(logPath_);
    return;
  }
  accept();
}

}  // namespace quilor::ui
