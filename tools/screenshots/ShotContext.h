#pragma once

#include <QDir>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class ApplicationController;
class MainWindow;
class QMenu;
class QWidget;

// What every screenshot function gets: the running application and ways to write PNGs of windows,
// menus and modal boxes into the output folder.
class ShotContext
{
public:
    // One modal box or dialog of a sequence: the PNG name and how to close it (reject when none is given).
    struct ModalShot {
        QString name;
        std::function<void(QWidget*)> close;
    };

    // Prepares the output folder; the application starts with start().
    explicit ShotContext(const QString& outputDir);
    ~ShotContext();

    // How the main window is sized once started.
    enum class WindowSize {
        // As it first opens on a 1600 × 1000 screen, wherever the tool runs.
        LargeScreen,
        // As it opens on the screen the tool runs on.
        ThisScreen,
    };

    // Starts the application as the program does, with a first start's settings.
    void start(WindowSize size = WindowSize::LargeScreen);

    ApplicationController& controller();
    MainWindow* window();

    // Lets layouts, timers and rendering catch up for about the given time.
    static void settle(int milliseconds = 100);
    // Waits until the condition holds, at most the given time; false on timeout.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMilliseconds = 60000);

    // Writes <name>.png of the widget as it is drawn now.
    void save(QWidget* widget, const QString& name);
    // Writes <name>.png of the whole screen the main window is on (where the platform can grab it).
    void saveScreen(const QString& name);
    // Opens the menu beside the main window, writes <name>.png of it and closes it.
    void saveMenu(QMenu* menu, const QString& name);
    // Runs the trigger, which opens a modal box or dialog (with exec or open), writes <name>.png of it,
    // then closes it with close (reject when none is given).
    void saveModal(const std::function<void()>& trigger, const QString& name,
                   const std::function<void(QWidget*)>& close = {});
    // The same for a trigger that opens several boxes one after another (each one's answer may open the
    // next): each new modal widget is written and closed with the next entry.
    void saveModals(const std::function<void()>& trigger, const QList<ModalShot>& shots);

    const QDir& outputDir() const { return m_outputDir; }

private:
    QDir m_outputDir;
    std::unique_ptr<ApplicationController> m_controller;
};

// Shots taken before the application starts (boxes of the start-up itself).
void shootShellStartUp(ShotContext& context);

// The main window as it first opens on the screen the tool runs on (main runs only this when asked).
void shootFirstStart(ShotContext& context);

// One function per area of the program; main runs them in this order, after start().
void shootShell(ShotContext& context);
void shootFiles(ShotContext& context);
void shootGallery(ShotContext& context);
void shootPanel(ShotContext& context);
void shootShapes(ShotContext& context);
void shootColors(ShotContext& context);
void shootItems(ShotContext& context);
