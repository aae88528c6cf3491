#include "gui/ScreenlessStart.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

// A message held back, with the texts of its context, which point into Qt's own static data.
struct Held {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

std::vector<Held>& held() {
    static std::vector<Held> messages;
    return messages;
}

} // namespace

ScreenlessStart::ScreenlessStart() : previous_(qInstallMessageHandler(&ScreenlessStart::handle)) {}

ScreenlessStart::~ScreenlessStart() {
    qInstallMessageHandler(previous_);
    for (const Held& m : held()) {
        const QMessageLogContext context(m.file, m.line, m.function, m.category);
        qt_message_output(m.type, context, m.text);
    }
    held().clear();
}

void ScreenlessStart::handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        held().push_back({type, context.file, context.line, context.function, context.category, text});
        return;
    }
    std::fprintf(stderr, "timerecorder: %s\n", message);
    std::fflush(stderr);
    std::_Exit(exit_status);
}
