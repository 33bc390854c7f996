// The monkey's events and the outcome each one must have.
#include "Monkey.h"

#include "components/BoardArea.h"
#include "components/PictureBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>

#include <chrono>

namespace morvane::test {

namespace {

constexpr const char *KindNames[] = {
    "click",      "right click",   "piece move",   "background move", "move tick", "border tick",
    "hider tick", "level",         "level file",   "window size",     "minimise",  "open",
    "about",      "preview click", "helpful swap", "helpful turn",
};

// Relative frequencies, in the order of Monkey::Kind. Ticks and mouse moves are what a real
// session is mostly made of; deals and opens are rare and cost many repaints.
const std::initializer_list<double> KindWeights = {
    30, 5, 200, 60, 200, 150, 100, 1, 1, 10, 3, 1, 2, 10, 40, 5,
};

} // namespace

Monkey::Monkey(SoakWindow &window, DataFolder &data, const SoakFiles &files, HandlerGuard &guard,
               uint32_t seed)
    : m_window(window), m_game(window.game()), m_data(data), m_files(files), m_guard(guard),
      m_rng(seed), m_kinds(KindWeights)
{
    static_assert(std::size(KindNames) == KindCount);
}

Monkey::Event Monkey::step()
{
    const bool solvedBefore = m_game.PuzzleSolved;
    Event event = next();
    if (!solvedBefore && m_game.PuzzleSolved)
        ++m_finished;
    return event;
}

Monkey::Event Monkey::next()
{
    if (!m_plannedClicks.empty())
        return plannedClick();
    auto kind = Kind(m_kinds(m_rng));
    // A minimised window gets no input: only its timers tick, or it comes back.
    if (m_window.isMinimized() && kind != MoveTick && kind != BorderTick && kind != HiderTick)
        kind = Minimise;
    return perform(kind);
}

Monkey::Event Monkey::plannedClick()
{
    const int index = m_plannedClicks.front();
    m_plannedClicks.pop_front();
    if (m_game.PuzzleSolved || !m_window.piece(index).isVisibleTo(&m_window.board())) {
        // The board changed under the plan (a tiny window hides pieces): give it up.
        m_plannedClicks.clear();
        return perform(BackgroundMove);
    }
    const auto started = std::chrono::steady_clock::now();
    m_guard.run("click", [&] { m_game.Click(index); });
    m_seconds[HelpfulSwap] +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return {QStringLiteral("planned click %1").arg(index), {}};
}

int Monkey::visiblePiece()
{
    std::array<int, 18> shown{};
    int count = 0;
    for (int j = 1; j <= 18; ++j)
        if (m_window.piece(j).isVisibleTo(&m_window.board()))
            shown[size_t(count++)] = j;
    if (count == 0)
        return 0;
    return shown[size_t(std::uniform_int_distribution<int>(0, count - 1)(m_rng))];
}

int Monkey::outerTwips(bool across)
{
    const int band = std::uniform_int_distribution<int>(0, 99)(m_rng);
    if (band < 20) // tiny, down to less than the frame itself
        return std::uniform_int_distribution<int>(0, 1500)(m_rng);
    if (band < 85)
        return std::uniform_int_distribution<int>(3000, across ? 15000 : 12000)(m_rng);
    return std::uniform_int_distribution<int>(15000, 30000)(m_rng); // huge
}

Monkey::Event Monkey::perform(Kind kind)
{
    ++m_counts[kind];
    const auto started = std::chrono::steady_clock::now();
    Event event = performTimed(kind);
    m_seconds[kind] +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return event;
}

Monkey::Event Monkey::performTimed(Kind kind)
{
    const QString name = QLatin1String(KindNames[kind]);
    switch (kind) {
    case LeftClick:
    case RightClick:
    case PieceMove: {
        const int index = visiblePiece();
        if (index == 0)
            return perform(BackgroundMove);
        if (kind == LeftClick)
            m_guard.run("click", [&] { m_game.Click(index); });
        else if (kind == RightClick)
            m_guard.run("right click", [&] { m_game.RightClick(index); });
        else
            m_guard.run("mouse move", [&] { m_game.PieceMouseMove(index); });
        return {name + QStringLiteral(" %1").arg(index), {}};
    }
    case BackgroundMove:
        m_guard.run("background move", [&] { m_game.BackgroundMouseMove(); });
        return {name, {}};
    case MoveTick:
        if (m_window.timMove().isActive())
            m_guard.run("fade", [&] { m_game.MoveTimerTick(); });
        return {name, {}};
    case BorderTick:
        if (m_window.timBorder().isActive())
            m_guard.run("pulse", [&] { m_game.BorderTimerTick(); });
        return {name, {}};
    case HiderTick:
        if (m_window.timHider().isActive())
            m_guard.run("hider", [&] { m_game.HiderTimerTick(); });
        return {name, {}};
    case LevelChoice: return chooseLevel();
    case LevelFileToggle: {
        const int n = std::uniform_int_distribution<int>(1, 7)(m_rng);
        const QString file = Game::levelFileName(n);
        if (QFile::exists(m_data.file(file)))
            m_data.remove(file);
        else
            QFile::copy(QStringLiteral(MORVANE_BIN_DIR "/") + file, m_data.file(file));
        return {name + QLatin1Char(' ') + file
                    + (QFile::exists(m_data.file(file)) ? QStringLiteral(" back")
                                                        : QStringLiteral(" gone")),
                {}};
    }
    case WindowSize: {
        const int which = std::uniform_int_distribution<int>(0, 2)(m_rng);
        const int across = outerTwips(true);
        const int down = outerTwips(false);
        if (which != 1)
            m_guard.run("outer width", [&] { m_window.setOuterWidthTwips(across); });
        if (which != 0)
            m_guard.run("outer height", [&] { m_window.setOuterHeightTwips(down); });
        return {name
                    + QStringLiteral(" %1 x %2 twips (%3)")
                          .arg(which != 1 ? across : -1)
                          .arg(which != 0 ? down : -1)
                          .arg(which),
                {}};
    }
    case Minimise:
        if (m_window.isMinimized()) {
            m_window.showNormal();
            return {QStringLiteral("restore"), {}};
        }
        m_window.showMinimized();
        return {name, {}};
    case Open: return openPicture();
    case About: {
        const int before = m_window.aboutShown;
        m_guard.run("about", [&] { m_game.AboutCommand(); });
        if (m_window.aboutShown != before + 1)
            return {name, {QStringLiteral("About did not show the About box")}};
        return {name, {}};
    }
    case PreviewClick:
        // The finished picture is only there to be clicked once the puzzle is done.
        if (!m_game.PuzzleSolved)
            return perform(BackgroundMove);
        m_guard.run("preview click", [&] { m_game.PreviewClick(); });
        return {name, {}};
    case HelpfulSwap:
        planHelpfulSwap();
        if (m_plannedClicks.empty())
            return perform(HelpfulTurn);
        return plannedClick();
    case HelpfulTurn:
        for (int j = 1; j <= 18; ++j) {
            PieceImage &piece = m_window.piece(j);
            if ((piece.FlipHorizontal() || piece.FlipVertical())
                && piece.isVisibleTo(&m_window.board())) {
                m_guard.run("right click", [&] { m_game.RightClick(j); });
                return {name + QStringLiteral(" %1").arg(j), {}};
            }
        }
        return perform(PieceMove);
    case KindCount: break;
    }
    return {name, {}};
}

// Plans the clicks that bring one misplaced tile home: let go of any selection, then select
// the place where the tile belongs and the place that shows it.
void Monkey::planHelpfulSwap()
{
    if (m_game.PuzzleSolved)
        return;
    const int level = m_game.CurrentLevel;
    std::vector<int> misplaced;
    for (int j = 1; j <= 18; ++j)
        if (m_game.LevelTable(level, j).Content != j)
            misplaced.push_back(j);
    if (misplaced.empty())
        return;
    const int home =
        misplaced[size_t(std::uniform_int_distribution<int>(0, int(misplaced.size()) - 1)(m_rng))];
    int holder = 0;
    for (int k = 1; k <= 18; ++k)
        if (m_game.LevelTable(level, k).Content == home)
            holder = k;
    if (holder == 0)
        return; // not a permutation: the invariants report it
    if (m_game.SelectedPiece != 0)
        m_plannedClicks.push_back(m_game.SelectedPiece);
    m_plannedClicks.push_back(home);
    m_plannedClicks.push_back(holder);
}

Monkey::Event Monkey::chooseLevel()
{
    const int n = std::uniform_int_distribution<int>(1, 7)(m_rng);
    const bool missing = !QFile::exists(m_data.file(Game::levelFileName(n)));
    const int levelBefore = m_game.CurrentLevel;
    const qsizetype messagesBefore = m_window.messages.size();
    m_guard.run("level", [&] { m_game.LevelCommand(n); });
    Event event{QStringLiteral("level %1%2").arg(n).arg(missing ? " (picture missing)" : ""), {}};
    if (missing) {
        if (m_window.messages.size() != messagesBefore + 1
            || !m_window.messages.last().startsWith(QLatin1String("What happened to file?|")))
            event.broken << QStringLiteral("a missing level picture gave no message");
        if (m_game.CurrentLevel != levelBefore)
            event.broken << QStringLiteral("a missing level picture changed the level");
        return event;
    }
    if (m_game.CurrentLevel != n || m_game.PuzzleSolved)
        event.broken << QStringLiteral("level %1 was not dealt").arg(n);
    for (int k = 1; k <= 7; ++k)
        if (m_window.levelAction(k)->isChecked() != (k == n))
            event.broken << QStringLiteral("level %1's menu check mark is wrong").arg(k);
    return event;
}

Monkey::Event Monkey::openPicture()
{
    enum { Good, Bad, Doubtful, Cancel } category;
    const int draw = std::uniform_int_distribution<int>(0, 99)(m_rng);
    category = draw < 45 ? Good : draw < 80 ? Bad : draw < 90 ? Doubtful : Cancel;
    if (category == Doubtful && m_files.doubtful.isEmpty())
        category = Bad;
    const QStringList &list = category == Good  ? m_files.good
                              : category == Bad ? m_files.bad
                                                : m_files.doubtful;
    const QString path =
        category == Cancel
            ? QString()
            : list[std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(m_rng)];

    // Mostly the game's own file-open form; now and then the common dialog of older systems.
    const bool viaDialog = std::uniform_int_distribution<int>(0, 9)(m_rng) < 3;
    m_window.setPlatformId(viaDialog ? 1 : 2);
    m_window.formChoice = path;
    m_window.dialogAccepts = category != Cancel;
    m_window.dialogChoice = path;

    const int levelBefore = m_game.CurrentLevel;
    const qsizetype messagesBefore = m_window.messages.size();
    m_guard.run("open", [&] { m_window.openCommand().run(); });
    m_window.setPlatformId(2);

    Event event{
        QStringLiteral("open %1%2")
            .arg(path.isEmpty() ? QStringLiteral("(cancel)") : path, viaDialog ? " by dialog" : ""),
        {}};
    const qsizetype newMessages = m_window.messages.size() - messagesBefore;
    switch (category) {
    case Good:
        if (m_game.CurrentLevel != 0 || newMessages != 0 || m_game.PuzzleSolved)
            event.broken << QStringLiteral("a good picture did not become level 0");
        break;
    case Bad:
        if (newMessages != 1
            || !m_window.messages.last().startsWith(QLatin1String("Bad Image File|")))
            event.broken << QStringLiteral("a bad picture gave no Bad Image File message");
        if (m_game.CurrentLevel != levelBefore)
            event.broken << QStringLiteral("a bad picture changed the level");
        break;
    case Cancel:
        if (newMessages != 0 || m_game.CurrentLevel != levelBefore)
            event.broken << QStringLiteral("a cancelled open changed something");
        break;
    case Doubtful:
        if (newMessages == 0 && m_game.CurrentLevel != 0)
            event.broken << QStringLiteral("an open neither failed nor made level 0");
        break;
    }
    return event;
}

QString Monkey::tally() const
{
    QStringList parts;
    for (int kind = 0; kind < KindCount; ++kind)
        parts << QStringLiteral("%1 %2 (%3 s)")
                     .arg(QLatin1String(KindNames[kind]))
                     .arg(m_counts[size_t(kind)])
                     .arg(m_seconds[size_t(kind)], 0, 'f', 1);
    return parts.join(QStringLiteral(", "));
}

} // namespace morvane::test
