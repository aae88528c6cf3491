#include "gui/ModelDialog.h"

#include "gui/TypingBlocker.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <memory>

ModelDialog::ModelDialog(const QString& title, int design_width, int design_height, const Color& background,
                         QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    scale_ = dialog_scale(parent);
    setFixedSize(scale_.px(design_width), scale_.px(design_height));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, to_qcolor(background, this));
    setPalette(pal);
    limit_ = new QTimer(this);
    limit_->setSingleShot(true);
}

QWidget* ModelDialog::add_widget(QWidget* widget, const Control& control) {
    views_.emplace_back(widget, &control);
    apply_control(widget, control, scale_);
    return widget;
}

QWidget* ModelDialog::add_label(const Control& control) {
    auto* l = new QLabel(this);
    l->setWordWrap(true);
    return add_widget(l, control);
}

QWidget* ModelDialog::add_button(const Control& control, std::function<void()> on_click) {
    auto* b = new QPushButton(this);
    // Enter must not answer for the member: a reader that types the IDm ends it with Enter.
    b->setAutoDefault(false);
    b->setDefault(false);
    connect(b, &QPushButton::clicked, this, [this, on_click = std::move(on_click)] {
        on_click();
        after_click();
    });
    return add_widget(b, control);
}

void ModelDialog::sync() {
    for (const auto& [w, c] : views_) {
        apply_control(w, *c, scale_);
    }
}

void ModelDialog::after_click() {
    sync();
    if (limit_->interval() > 0) {
        limit_->start();
    }
    if (!is_visible_()) {
        accept();
    }
}

void ModelDialog::run(std::function<bool()> is_visible, std::function<void()> on_close_box, int timeout_seconds,
                      std::function<void()> on_timeout) {
    is_visible_ = std::move(is_visible);
    on_close_box_ = std::move(on_close_box);
    limit_->disconnect();
    limit_->setInterval(timeout_seconds * 1000);
    if (timeout_seconds > 0) {
        connect(limit_, &QTimer::timeout, this, [this, on_timeout = std::move(on_timeout)] {
            on_timeout();
            sync();
            accept();
        });
        limit_->start();
    }
    sync();
    // Questions take no keys; a dialog with a text field (the store setup) takes typing as usual.
    std::unique_ptr<TypingBlocker> blocker;
    if (drop_typing_) {
        blocker = std::make_unique<TypingBlocker>(*this);
    }
    center_on_screen(*this, parentWidget());
    exec();
    limit_->stop();
}

void ModelDialog::reject() {
    // Escape and the close box both end up here.
    if (on_close_box_) {
        on_close_box_();
    }
    QDialog::reject();
}

void ModelDialog::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
}
