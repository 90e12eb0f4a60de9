#pragma once

#include <QFont>
#include <QObject>
#include <QPixmap>

#include <memory>

namespace doc {
class ColorManager;
class Document;
} // namespace doc
namespace frame {
class Manager;
}
namespace shape {
class Manager;
}

class GeneratorManager;
class MainWindow;
class UpdateCheck;

// The root object of the program: owns the managers, both documents and the main window for the whole
// run, and draws the icon-font glyphs of buttons and lists.
class ApplicationController : public QObject
{
    Q_OBJECT

public:
    ApplicationController();
    ~ApplicationController() override;

    // Builds everything and shows the main window. False when the user chose to quit at start-up; then
    // no window exists and the event loop must not run.
    bool start();

    static ApplicationController* instance();

    std::shared_ptr<doc::Document> document() const { return m_document; }
    std::shared_ptr<doc::Document> generatorDocument() const { return m_generatorDocument; }
    std::shared_ptr<GeneratorManager> generatorManager() const { return m_generatorManager; }
    doc::ColorManager* colorManager() const { return m_colorManager.get(); }
    UpdateCheck* updateCheck() const { return m_updateCheck; }
    MainWindow* mainWindow() { return m_mainWindow; }

    static const QFont& iconFont();
    QPixmap pixmapForIcon(int codePoint, int size) const;

    // The text of the box shown when the user shape database fails to load; the reason is escaped.
    static QString shapeDatabaseErrorText(const QString& reason);

private:
    static void setThreadCountFromSettings();
    static void loadStyleSheet();
    // False when the user chose to quit.
    bool loadShapeDatabase();
    // Shows the database error box; false for "Quit and Resolve" (or Escape).
    static bool askToStartAnyway(const QString& reason);

    static ApplicationController* _instance;

    shape::Manager* m_shapeManager = nullptr;
    std::shared_ptr<doc::ColorManager> m_colorManager;
    std::shared_ptr<frame::Manager> m_frameManager;
    UpdateCheck* m_updateCheck = nullptr;
    MainWindow* m_mainWindow = nullptr;
    std::shared_ptr<doc::Document> m_document;
    std::shared_ptr<doc::Document> m_generatorDocument;
    std::shared_ptr<GeneratorManager> m_generatorManager;
};
