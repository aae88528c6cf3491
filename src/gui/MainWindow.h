#pragma once

#include "gui/ControlView.h"
#include "view/FmMain.h"

#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class Recorder;
class QTimer;

// Fm_main on screen: renders the recorder's window model, forwards the button clicks to it and drives its
// 100 ms timer. All it shows comes from the model.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(Recorder& recorder, QWidget* parent = nullptr);

    // Brings every widget in line with the model.
    void sync();
    // The timer's work, also callable from tests: one tick of the recorder, then a repaint.
    void tick();

signals:
    void ended();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The window model written anew from the recorder; its controls keep their addresses for the whole run.
    const FmMain& model();
    void build();
    void add(QWidget* widget, const Control* control);
    void after_event();
    void update_scale();
    void indent_covered_labels();

    Recorder& recorder_;
    FmMain form_;
    QWidget* canvas_ = nullptr;
    QTimer* timer_ = nullptr;
    Scale scale_;
    std::vector<std::pair<QWidget*, const Control*>> views_;
    bool finishing_ = false;
};
