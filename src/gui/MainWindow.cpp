#include "gui/MainWindow.h"

#include "app/recorder/Recorder.h"
#include "gui/ControlView.h"
#include "view/WindowModel.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

MainWindow::MainWindow(Recorder& recorder, QWidget* parent) : QWidget(parent), recorder_(recorder) {
    setWindowTitle(to_qstring(FmMain::caption));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, to_qcolor(colors::neutral, this));
    setPalette(pal);
    canvas_ = new QWidget(this);
    build();
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &MainWindow::tick);
    timer_->start();
}

const FmMain& MainWindow::model() {
    form_ = FmMain{};
    show_state(recorder_, form_);
    return form_;
}

void MainWindow::add(QWidget* widget, const Control* control) {
    views_.emplace_back(widget, control);
}

void MainWindow::build() {
    const FmMain& f = model();
    for (const auto& [name, control] : f.named_controls()) {
        QWidget* w = nullptr;
        if (control->kind == ControlKind::Button) {
            auto* b = new QPushButton(canvas_);
            b->setFocusPolicy(Qt::NoFocus);
            w = b;
        } else {
            auto* l = new QLabel(canvas_);
            l->setWordWrap(false);
            w = l;
        }
        w->setObjectName(to_qstring(name));
        add(w, control);
    }
    for (const auto& [name, control] : f.header_controls()) {
        auto* l = new QLabel(canvas_);
        l->setObjectName(to_qstring(name));
        add(l, control);
    }
    for (std::size_t i = 0; i < f.board.size(); ++i) {
        for (const auto& [col, control] : cells_of(f.board[i])) {
            auto* l = new QLabel(canvas_);
            l->setObjectName(QStringLiteral("lbl_%1(%2)").arg(QString::fromLatin1(col)).arg(i));
            add(l, control);
        }
    }
    // Labels lie beneath buttons, as on the window the shop knows: the hidden status labels overlap the
    // USB buttons.
    for (const auto& [widget, control] : views_) {
        if (control->kind == ControlKind::Button) {
            widget->raise();
        }
    }
    auto click = [this](const char* name, void (Recorder::*handler)()) {
        auto* b = canvas_->findChild<QPushButton*>(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [this, handler] {
            // Through a local reference: g++ 12's -fsanitize=vptr checks the closure instead of the window
            // when "(recorder_.*handler)()" is written inside a lambda, and reports a bad vptr.
            Recorder& recorder = recorder_;
            (recorder.*handler)();
            after_event();
        });
    };
    click("cmd_IN", &Recorder::cmd_in_click);
    click("cmd_OUT", &Recorder::cmd_out_click);
    click("Cmd_FromUSB", &Recorder::cmd_from_usb_click);
    click("Cmd_ToUSB", &Recorder::cmd_to_usb_click);
    click("cmd_Func", &Recorder::cmd_func_click);
}

void MainWindow::update_scale() {
    // The board's last row reaches below the design client area: fit everything that is drawn.
    int extent = FmMain::design_height;
    for (const auto& [widget, control] : views_) {
        extent = std::max(extent, control->at.top + control->at.height);
    }
    extent += 60;
    const double fx = static_cast<double>(width()) / FmMain::design_width;
    const double fy = static_cast<double>(height()) / extent;
    scale_.factor = std::min(fx, fy);
    const int w = scale_.px(FmMain::design_width);
    const int h = scale_.px(extent);
    canvas_->setGeometry((width() - w) / 2, (height() - h) / 2, w, h);
    indent_covered_labels();
}

void MainWindow::indent_covered_labels() {
    // A label partly under another control (the member list's date between "終了" and the board's first
    // column) draws its text in the part that shows, so that the whole text is readable while every control
    // keeps its place. Buttons lie on top of every label, and a label on top of the labels made before it.
    constexpr int gap = 60; // twips kept clear of the covering control's edge
    const auto px = [this](int twips) { return scale_.px(twips + scale_.x_offset); };
    for (std::size_t i = 0; i < views_.size(); ++i) {
        const auto& [widget, label] = views_[i];
        if (label->kind == ControlKind::Button) {
            continue;
        }
        const Twips& l = label->at;
        int left = 0;
        int right = 0;
        for (std::size_t j = 0; j < views_.size(); ++j) {
            const Control& other = *views_[j].second;
            const Twips& o = other.at;
            const bool on_top = other.kind == ControlKind::Button || j > i;
            const bool rows_meet = o.top < l.top + l.height && l.top < o.top + o.height;
            if (!on_top || !other.visible || !rows_meet) {
                continue;
            }
            if (o.left <= l.left && l.left < o.left + o.width) {
                left = std::max(left, px(o.left + o.width + gap) - px(l.left));
            } else if (l.left < o.left && o.left < l.left + l.width) {
                right = std::max(right, px(l.left + l.width) - px(o.left - gap));
            }
        }
        // A label covered all over stays as it is: there is no part of it to draw in.
        const bool shows = left + right < scale_.px(l.width) / 2;
        widget->setContentsMargins(shows ? left : 0, 0, shows ? right : 0, 0);
    }
}

void MainWindow::sync() {
    if (model().minimised && !isMinimized()) {
        showMinimized();
    }
    for (const auto& [widget, control] : views_) {
        apply_control(widget, *control, scale_);
    }
}

void MainWindow::tick() {
    if (!recorder_.polling() || recorder_.ended()) {
        return;
    }
    // Nine ticks in ten find the second unchanged and take no card: they change nothing, and the controls are
    // left as they are.
    const std::optional<DateTime> shown = recorder_.panel().clock().second;
    const auto read_at = [this] {
        const auto& read = recorder_.card().read_shown();
        return read ? std::optional<std::int64_t>(read->at.to_millis()) : std::nullopt;
    };
    const std::optional<std::int64_t> read = read_at();
    recorder_.timer_tick();
    if (recorder_.panel().clock().second == shown && read_at() == read && !recorder_.ended()) {
        return;
    }
    after_event();
}

void MainWindow::after_event() {
    sync();
    if (recorder_.ended() && !finishing_) {
        finishing_ = true;
        timer_->stop();
        emit ended();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update_scale();
    sync();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!recorder_.ended()) {
        recorder_.close();
    }
    after_event();
    event->accept();
}
