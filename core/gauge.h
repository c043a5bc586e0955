// The progress gauge shown during long operations: four caption/value lines,
// a bar and a Stop button. It is the one place where a long operation lets
// window events run, so that the program stays responsive and can be stopped.
//
// The logic lives here; the window behind it is a GaugeView (a Qt dialog in
// the program, nothing or a script in tests and tools).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quilor {

class GaugeView {
 public:
  virtual ~GaugeView() = default;
  virtual void SetCaption(int line, const std::string& text) = 0;  // line 1..4
  virtual void SetValue(int line, const std::string& text) = 0;    // line 1..4
  virtual void SetRange(int32_t maximum) = 0;
  virtual void SetPosition(int32_t position) = 0;
  virtual void Repaint() = 0;
  virtual bool IsVisible() const = 0;
  // Shows the window or keeps it hidden (a run without a visible gauge still
  // has one to count its steps and to hear Stop).
  virtual void SetShown(bool /*shown*/) {}
  // Lets pending window events run (may call TInfoJauge::ButtonArretClick).
  virtual void ProcessEvents() = 0;
};

// A view that shows nothing, for runs without windows.
class NullGaugeView : public GaugeView {
 public:
  void SetCaption(int, const std::string&) override {}
  void SetValue(int, const std::string&) override {}
  void SetRange(int32_t) override {}
  void SetPosition(int32_t) override {}
  void Repaint() override {}
  bool IsVisible() const override { return false; }
  void ProcessEvents() override {}
};

class TInfoJauge {
 public:
  // The gauge owns its view; nullptr gives a NullGaugeView.
  explicit TInfoJauge(std::unique_ptr<GaugeView> view = nullptr);
  ~TInfoJauge();
  TInfoJauge(const TInfoJauge&) = delete;
  TInfoJauge& operator=(const TInfoJauge&) = delete;

  void DefinirLibelle(int line, const std::string& text, bool refresh);
  void DefinirValeur(int line, const std::string& text);
  void DefinirMaximum(int32_t maximum);
  void MajBar(int32_t position);
  void MultiTache();
  // Lets events run, then True unless a stop was requested.
  bool Continue();
  // The Stop button: asks message 70; Yes requests the stop.
  void ButtonArretClick();
  // A stop the program decides without asking (its window is closing).
  void RequestStop() { stopRequested_ = true; }

  void SetLetMessagesRun(bool on) { letMessagesRun_ = on; }
  bool LetMessagesRun() const { return letMessagesRun_; }
  bool StopRequested() const { return stopRequested_; }
  int32_t Position() const { return position_; }
  int32_t Maximum() const { return maximum_; }
  GaugeView& View() { return *view_; }

 private:
  std::unique_ptr<GaugeView> view_;
  int32_t position_ = 0;
  int32_t maximum_ = 1;
  bool stopRequested_ = false;
  bool letMessagesRun_ = false;
};

// The run's progress: its gauge and its stop request. A test resets it whole
// with CloseInfoJauge() and Progress = {}.
struct TProgress {
  // The one gauge, created on demand by its users (CreateInfoJauge) and
  // deleted by CloseInfoJauge; nullptr when none.
  TInfoJauge* gauge = nullptr;
  // The user stopped the run (the gauge's Stop, a Cancel), or an append found
  // no memory: the loading, the scanner and the passes of a run watch it.
  // Each run clears it as it starts.
  bool cancelRequested = false;
};
extern TProgress Progress;

// How the program makes a gauge's window; tools and tests leave the default (none).
using GaugeViewFactory = std::function<std::unique_ptr<GaugeView>()>;
void SetGaugeViewFactory(GaugeViewFactory factory);

// Creates the global gauge when none exists and returns it.
// A new gauge is shown or kept hidden; an existing one is given back as it is.
TInfoJauge& CreateInfoJauge(bool shown = true);
void CloseInfoJauge();

}  // namespace quilor
