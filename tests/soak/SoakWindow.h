// The test window for the soak: every handler call, the resizes the window delivers by itself
// included, runs through one guard that counts what a handler lets escape.
#pragma once

#include "../support/TestWindow.h"

#include "components/BoardArea.h"
#include "components/ResizeWatcher.h"

#include <QStringList>

#include <exception>

namespace morvane::test {

// Counts exceptions that escape a handler; the game itself would only print them.
class HandlerGuard {
public:
    template <typename Handler>
    void run(const char *name, Handler &&handler)
    {
        try {
            handler();
        } catch (const std::exception &error) {
            record(name, error.what());
        } catch (...) {
            record(name, "unknown exception");
        }
    }
    int failures() const { return m_failures; }
    const QStringList &first() const { return m_first; }

private:
    void record(const char *name, const char *what)
    {
        ++m_failures;
        if (m_first.size() < 20)
            m_first << QStringLiteral("%1: %2").arg(QLatin1String(name), QLatin1String(what));
    }
    int m_failures = 0;
    QStringList m_first;
};

class SoakWindow : public TestWindow {
public:
    SoakWindow(const QString &dataFolder, Random *random, HandlerGuard &guard)
        : TestWindow(dataFolder, random), m_guard(guard)
    {
        // The monkey ticks the timers itself; their real timeouts must not call the game
        // behind its back. Blocked signals still leave isActive() telling whether they run.
        timMove().blockSignals(true);
        timBorder().blockSignals(true);
        timHider().blockSignals(true);
    }

    // Same watcher as the real window's, but its resize handler runs through the guard.
    void attachResizeWatcher() override
    {
        if (!m_watcher) {
            m_watcher = new ResizeWatcher(&board(), this, [this](int width, int height) {
                m_guard.run("resize", [&] { game().Resize(width, height); });
            });
        }
    }

    // Animations redraw the whole window at every step; a real repaint at every fourth step
    // keeps the painting code under test while a long soak stays affordable.
    void redrawWindow() override
    {
        ++windowRedraws;
        if (windowRedraws % RedrawsPerPaint == 0)
            frmMain::redrawWindow();
    }

private:
    static constexpr int RedrawsPerPaint = 4;
    HandlerGuard &m_guard;
    ResizeWatcher *m_watcher = nullptr;
};

} // namespace morvane::test
