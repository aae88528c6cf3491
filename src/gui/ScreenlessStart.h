#pragma once

#include <QtGlobal>

// Qt ends a program that finds no screen (no display set, the display unreachable, no platform plug-in) with
// an English message and an abort. While one of these lives, which is while the application object is made,
// such an end becomes a Japanese message on the error output and exit status 1, and Qt's own messages are
// held back so that they do not bury it; they are passed on when the start went well.
class ScreenlessStart {
public:
    ScreenlessStart();
    ~ScreenlessStart();
    ScreenlessStart(const ScreenlessStart&) = delete;
    ScreenlessStart& operator=(const ScreenlessStart&) = delete;

    static constexpr const char* message = "タイムレコーダーを表示する画面がありません。"
                                           "画面(ディスプレイ)のあるセッションで起動してください。";
    static constexpr int exit_status = 1;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

    QtMessageHandler previous_;
};
