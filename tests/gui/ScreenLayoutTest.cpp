#include "gui/ControlView.h"
#include "gui/ScreenSet.h"
#include "support/GuiApp.h"
#include "support/TempRoot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>

#include <gtest/gtest.h>

#include <vector>

// What a picture of each window shows at the three screen sizes the shops use: every control inside the
// screen, the whole board, no button over another, and every caption readable in full.

namespace {

QRect on_window(const QWidget& w, const QWidget& window) {
    return QRect(w.mapTo(&window, QPoint(0, 0)), w.size());
}

// Labels whose text is drawn in their background colour hold working values nobody is meant to read.
bool text_is_drawn(const QWidget& w) {
    static const QRegularExpression colours(QStringLiteral("color: (#[0-9a-f]+); background-color: (#[0-9a-f]+)"));
    const auto m = colours.match(w.styleSheet());
    return !m.hasMatch() || m.captured(1) != m.captured(2);
}

// The caption fits its control: buttons and single-line labels by width, wrapped labels by height.
QString cut_off(const QWidget& w) {
    const QFontMetrics fm(w.font());
    if (const auto* b = qobject_cast<const QAbstractButton*>(&w)) {
        const QStringList lines = b->text().split(QChar(u'\n'));
        for (const QString& line : lines) {
            if (fm.horizontalAdvance(line) > w.width()) {
                return QStringLiteral("line \"%1\" is %2 px wide in %3 px")
                    .arg(line)
                    .arg(fm.horizontalAdvance(line))
                    .arg(w.width());
            }
        }
        if (fm.lineSpacing() * lines.size() > w.height()) {
            return QStringLiteral("%1 lines need %2 px in %3 px")
                .arg(lines.size())
                .arg(fm.lineSpacing() * lines.size())
                .arg(w.height());
        }
    } else if (const auto* l = qobject_cast<const QLabel*>(&w);
               l != nullptr && !l->text().isEmpty() && text_is_drawn(w)) {
        if (l->wordWrap()) {
            const int needed = fm.boundingRect(QRect(0, 0, w.width(), 100000), Qt::TextWordWrap, l->text()).height();
            if (needed > w.height()) {
                return QStringLiteral("text needs %1 px in %2 px").arg(needed).arg(w.height());
            }
        } else {
            for (const QString& line : l->text().split(QChar(u'\n'))) {
                if (fm.horizontalAdvance(line) > w.width()) {
                    return QStringLiteral("\"%1\" is %2 px wide in %3 px")
                        .arg(line)
                        .arg(fm.horizontalAdvance(line))
                        .arg(w.width());
                }
            }
        }
    }
    return {};
}

std::vector<const QWidget*> visible_controls(const QWidget& window) {
    std::vector<const QWidget*> out;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
                             qobject_cast<const QComboBox*>(w);
        if (control && w->isVisibleTo(&window) && w->parentWidget() != nullptr &&
            qobject_cast<const QComboBox*>(w->parentWidget()) == nullptr) {
            out.push_back(w);
        }
    }
    return out;
}

class ScreenLayout : public ::testing::TestWithParam<QSize> {};

TEST_P(ScreenLayout, EveryWindowFitsTheScreenAndNothingIsCutOffOrCovered) {
    gui_app();
    const QSize screen = GetParam();
    TempRoot root;
    ScreenSet screens(root.path(), screen);
    std::vector<std::string> seen;
    screens.render_all([&](const std::string& name, QWidget& window) {
        SCOPED_TRACE(name);
        seen.push_back(name);
        EXPECT_LE(window.width(), screen.width());
        EXPECT_LE(window.height(), screen.height());
        const QRect area(QPoint(0, 0), window.size());
        const auto controls = visible_controls(window);
        EXPECT_FALSE(controls.empty());
        std::vector<std::pair<const QWidget*, QRect>> buttons;
        for (const QWidget* w : controls) {
            const QRect r = on_window(*w, window);
            EXPECT_TRUE(area.contains(r))
                << w->objectName().toStdString() << " at " << r.x() << "," << r.y() << " " << r.width() << "x"
                << r.height() << " outside " << area.width() << "x" << area.height();
            const QString cut = cut_off(*w);
            EXPECT_TRUE(cut.isEmpty()) << w->objectName().toStdString() << ": " << cut.toStdString();
            if (qobject_cast<const QAbstractButton*>(w) != nullptr) {
                for (const auto& [other, rect] : buttons) {
                    EXPECT_FALSE(rect.intersects(r))
                        << w->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
                }
                buttons.emplace_back(w, r);
            }
        }
        // No button lies over the text of a label (the member list's date beside "終了"), nor a label drawn
        // after it (the board's first column beside the date).
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const auto* l = qobject_cast<const QLabel*>(controls[i]);
            if (l == nullptr || l->text().isEmpty() || !text_is_drawn(*l)) {
                continue;
            }
            // Where the text's ink lies: from the left of the part that shows, centred in the height.
            const QRect shown = on_window(*l, window).marginsRemoved(l->contentsMargins());
            const QRect ink = QFontMetrics(l->font()).tightBoundingRect(l->text());
            QRect text(shown.left(), 0, std::min(shown.width(), ink.right() + 1), ink.height());
            text.moveCenter(QPoint(text.center().x(), shown.center().y()));
            for (std::size_t j = 0; j < controls.size(); ++j) {
                const QWidget* other = controls[j];
                const bool on_top = qobject_cast<const QAbstractButton*>(other) != nullptr ||
                                    (j > i && qobject_cast<const QLabel*>(other) != nullptr);
                EXPECT_FALSE(on_top && other->parentWidget() == l->parentWidget() &&
                             on_window(*other, window).intersects(text))
                    << other->objectName().toStdString() << " covers the text of " << l->objectName().toStdString();
            }
        }
        if (name.rfind("main-", 0) != 0) { // a dialog: in the middle of the screen
            const QPoint middle = window.screen()->availableGeometry().center();
            EXPECT_LE((window.frameGeometry().center() - middle).manhattanLength(), 4)
                << window.frameGeometry().center().x() << "," << window.frameGeometry().center().y();
        }
        if (name.rfind("main-", 0) == 0) {
            for (int i = 0; i < 26; ++i) {
                const auto* cell = window.findChild<QLabel*>(QStringLiteral("lbl_Cast(%1)").arg(i));
                ASSERT_NE(cell, nullptr) << i;
                EXPECT_TRUE(cell->isVisible()) << "row " << i;
                EXPECT_TRUE(area.contains(on_window(*cell, window))) << "row " << i;
            }
        }
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"main-idle", "uf2", "uf10key", "ufinitial", "question", "message",
                                              "main-busy", "main-stopped"}));
    EXPECT_TRUE(screens.messages().empty()) << screens.messages().front();
}

INSTANTIATE_TEST_SUITE_P(ShopScreens, ScreenLayout,
                         ::testing::Values(QSize(1920, 1080), QSize(1366, 768), QSize(1280, 1024)),
                         [](const ::testing::TestParamInfo<QSize>& param_info) {
                             return std::to_string(param_info.param.width()) + "x" +
                                    std::to_string(param_info.param.height());
                         });

} // namespace
