// The row of buttons under a dialog's pages: Ok (the default), Cancel, Help.
#pragma once

#include <QBoxLayout>
#include <QPushButton>

#include "ui/texts_qt.h"
#include "generated/message_names.h"

namespace quilor::ui {

struct DialogButtons {
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  QPushButton* help = nullptr;
};

// Lays out pages over the buttons in parent; captions by message number.
inline DialogButtons PagesOverButtons(QWidget* parent, QWidget* pages, int okCaption, int cancelCaption = msg::kCancel,
                                      int helpCaption = msg::kHelp) {
  DialogButtons b;
  b.ok = new QPushButton(MessageText(okCaption), parent);
  b.ok->setDefault(true);
  b.cancel = new QPushButton(MessageText(cancelCaption), parent);
  b.help = new QPushButton(MessageText(helpCaption), parent);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(b.ok);
  row->addWidget(b.cancel);
  row->addWidget(b.help);
  auto* layout = new QVBoxLayout(parent);
  layout->addWidget(pages);
  layout->addLayout(row);
  return b;
}

}  // namespace quilor::ui
