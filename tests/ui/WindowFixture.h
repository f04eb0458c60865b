#pragma once

#include "TestFiles.h"
#include "ui/MessageBox.h"
#include "ui/StartUp.h"
#include "ui/frmMain.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

// The lines of a list box, top to bottom.
inline QStringList lines(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

inline void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// Points the user's home (and so the pictures folder) at a temporary directory
// while it lives, so that a first run makes its image directory there.
class TemporaryHome {
public:
    TemporaryHome() : m_home(qgetenv("HOME")), m_config(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", dir.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~TemporaryHome()
    {
        qputenv("HOME", m_home);
        if (m_config.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_config);
    }
    QString pictures() const { return dir.filePath("Pictures/Stormtap/"); }
    QTemporaryDir dir;

private:
    QByteArray m_home;
    QByteArray m_config;
};

// A program directory of its own, a started window, and the messages it shows.
struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

class WindowFixture {
public:
    explicit WindowFixture(const QByteArray &sitesDat = QByteArray(), bool writeSites = true)
    {
        if (writeSites)
            writeFile(QStringLiteral("SITES.DAT"), sitesDat);
        stormtap::setMessageHandler([this](QMessageBox::Icon icon, const QString &title, const QString &text) {
            messages.push_back({icon, title, text});
        });
        stormtap::frmMain::exitProcess = [this] { exited = true; };
        window = stormtap::startUp(state, dir.path());
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the window never became active");
    }
    ~WindowFixture() { stormtap::setMessageHandler({}); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        if (!::writeFile(dir.filePath(name), bytes))
            qFatal("cannot write %s", qPrintable(name));
    }

    template <typename T> T *find(const QString &name) const
    {
        T *widget = window->findChild<T *>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }

    QTemporaryDir dir;
    stormtap::State state;
    std::unique_ptr<stormtap::frmMain> window;
    std::vector<Message> messages;
    bool exited = false;
};
