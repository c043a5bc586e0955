// The result views' state after a real analysis of samples/sample.txt: the
// engine started on the built dictionaries, a fake main window as the views'
// port, the results panel refreshed.
#pragma once

#include <gtest/gtest.h>

#include "core/options.h"
#include "engine/selection.h"
#include "ui/main_window_port.h"
#include "mainwindow/results_panel.h"
#include "ui/view_state.h"
#include "ui_support/engine_session.h"

namespace quilor::testing_support {

class SampleViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Started());
    ui::ViewState.Reset();
    ui::ViewState.selection.Clear();
    ui::SetViewMainWindow(&main_);
    Options->Set(opt::ThresholdKind, 0);
    ASSERT_TRUE(session_.Analyse({EngineSession::SamplePath("sample.txt")}));
    panel_.RefreshAfterAnalysis();
  }
  void TearDown() override {
    ui::SetViewMainWindow(nullptr);
    ui::ViewState.selection.Clear();
    ui::ViewState.Reset();
  }
  EngineSession session_;
  ui::FakeMainWindow main_;
  ui::TResultsPanel panel_{{AnalysisResults, TextWords, FileQueue, ui::ViewState}};
};

}  // namespace quilor::testing_support
