#include "core/gauge.h"

#include <algorithm>

#include "core/messages.h"

namespace quilor {

TProgress Progress;

namespace {
GaugeViewFactory g_factory;
}

TInfoJauge::TInfoJauge(std::unique_ptr<GaugeView> view) : view_(std::move(view)) {
  if (!view_) view_ = std::make_unique<NullGaugeView>();
  for (int line = 1; line <= 4; ++line) {
    view_->SetCaption(line, "");
    view_->SetValue(line, "");
  }
}

TInfoJauge::~TInfoJauge() = default;

void TInfoJauge::DefinirLibelle(int line, const std::string& text, bool refresh) {
  if (line < 1 || line > 4) return;
  view_->SetCaption(line, text);
  if (refresh) view_->Repaint();
}

void TInfoJauge::DefinirValeur(int line, const std::string& text) {
  if (line < 1 || line > 4) return;
  view_->SetValue(line, text);
  if (view_->IsVisible()) view_->Repaint();
}

void TInfoJauge::DefinirMaximum(int32_t maximum) {
  maximum_ = maximum < 1 ? 1 : maximum;
  position_ = 0;
  view_->SetRange(maximum_);
  view_->SetPosition(0);
}

void TInfoJauge::MajBar(int32_t position) {
  position_ = position;
  if (view_->IsVisible()) {
    view_->SetPosition(std::min(position, maximum_));
    view_->Repaint();
  }
  if (letMessagesRun_) MultiTache();
}

void TInfoJauge::MultiTache() {
  if (letMessagesRun_) view_->ProcessEvents();
}

bool TInfoJauge::Continue() {
  MultiTache();
  return !stopRequested_;
}

void TInfoJauge::ButtonArretClick() {
  if (AskYesNo(GetMessageText(kMsgStopProcess))) stopRequested_ = true;
}

void SetGaugeViewFactory(GaugeViewFactory factory) { g_factory = std::move(factory); }

TInfoJauge& CreateInfoJauge(bool shown) {
  if (!Progress.gauge) {
    Progress.gauge = new TInfoJauge(g_factory ? g_factory() : nullptr);
    Progress.gauge->View().SetShown(shown);
  }
  return *Progress.gauge;
}

void CloseInfoJauge() {
  delete Progress.gauge;
  Progress.gauge = nullptr;
}

}  // namespace quilor
