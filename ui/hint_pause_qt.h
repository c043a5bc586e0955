// How long the program's hints stay up: every hint hides by itself after the
// same pause, whether it is a widget's own, a line of an item view or one the
// text and graph views show as the mouse moves over them.
#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class QWidget;

namespace quilor::ui {

// The pause after which a hint hides, in milliseconds.
constexpr int kHintHidePauseMs = 7000;

// Shows text as widget's hint at the global point, hidden after the pause.
void ShowHint(const QPoint& global, const QString& text, QWidget* widget);

// Gives the pause to every hint of the application: a widget's own hint takes
// it as its duration, and an item view's line hint (its model's tool-tip
// text) is shown through ShowHint. Installed once, however often called.
void InstallHintPause();

// What shows a hint (text, widget and pause); tests record it. An empty
// function restores the tool tip of the platform.
using HintShower = std::function<void(const QPoint& global, const QString& text, QWidget* widget, int pauseMs)>;
void SetHintShower(HintShower shower);

}  // namespace quilor::ui
