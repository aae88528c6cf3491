#pragma once

#include <QSize>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

// The windows a person sees, each in a prepared state on a sample store, for pictures and layout checks: the
// main window idle, with a full board in every colour and stopped, the three dialogs, a question and a message.
// Everything is drawn by the same code the recorder uses, at the size of the given screen.
class ScreenSet {
public:
    // root: an empty folder for the sample store's files; size: the screen the window fills.
    ScreenSet(std::filesystem::path root, QSize size);
    ~ScreenSet();
    ScreenSet(const ScreenSet&) = delete;
    ScreenSet& operator=(const ScreenSet&) = delete;

    // Calls visit for each scene in turn with its name ("main-idle", "uf2", ...) and the window showing it,
    // laid out and painted. A dialog lives only during its call.
    void render_all(const std::function<void(const std::string& name, QWidget& window)>& visit);

    // The messages the recorder would have shown meanwhile (none, when the sample data are sound).
    [[nodiscard]] const std::vector<std::string>& messages() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
