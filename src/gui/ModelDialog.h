#pragma once

#include "gui/ControlView.h"

#include <QDialog>

#include <functional>
#include <utility>
#include <vector>

class QTimer;

// A modal dialog that renders controls of a dialog model at their twip positions and forwards clicks. The
// model decides when it is hidden; the dialog closes as soon as the model says so.
class ModelDialog : public QDialog {
    Q_OBJECT
public:
    ModelDialog(const QString& title, int design_width, int design_height, const Color& background,
                QWidget* parent = nullptr);

    QWidget* add_label(const Control& control);
    QWidget* add_button(const Control& control, std::function<void()> on_click);
    QWidget* add_widget(QWidget* widget, const Control& control);

    // Runs modally until is_visible() turns false. With a time limit, on_timeout runs when no click came
    // within it; every click starts the limit again.
    void run(std::function<bool()> is_visible, std::function<void()> on_close_box, int timeout_seconds = 0,
             std::function<void()> on_timeout = {});
    void sync();
    // Whether keys are dropped while the dialog is open (yes unless it has a field to type in).
    void set_drop_typing(bool drop) { drop_typing_ = drop; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void after_click();

    Scale scale_;
    std::vector<std::pair<QWidget*, const Control*>> views_;
    std::function<bool()> is_visible_;
    std::function<void()> on_close_box_;
    QTimer* limit_ = nullptr;
    bool drop_typing_ = true;
};
