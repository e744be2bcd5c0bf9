#include "Desktop/DesktopTest.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class NoteWindowLooks : public DesktopTest {
protected:
    // The colour the screen shows at a point, red, green and blue (the
    // server's 32-bit pixels hold blue, green, red, padding).
    using Rgb = std::array<int, 3>;
    Rgb pixelAt(QPoint point)
    {
        const QByteArray raw = x().pixels(QRect(point, QSize(1, 1)));
        if (raw.size() < 3)
            return {};
        return {quint8(raw[2]), quint8(raw[1]), quint8(raw[0])};
    }
    static int lightness(const Rgb& rgb)
    {
        return (*std::max_element(rgb.begin(), rgb.end()) + *std::min_element(rgb.begin(), rgb.end())) / 2;
    }
    static std::string name(const Rgb& rgb)
    {
        return std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," + std::to_string(rgb[2]);
    }

    // Samples the window's height until it has rested at `settled` for a
    // while; every height seen, in order.
    std::vector<int> heightsUntil(WindowId window, int settled)
    {
        std::vector<int> heights;
        int resting = 0;
        waitFor([&] {
            const int height = geometry(window).height();
            if (heights.empty() || heights.back() != height)
                heights.push_back(height);
            resting = height == settled ? resting + 1 : 0;
            return resting >= 20;
        }, 5s, 5ms);
        return heights;
    }

    static std::string list(const std::vector<int>& values)
    {
        std::string text;
        for (int value : values)
            text += std::to_string(value) + " ";
        return text;
    }
};

// The window used to jump from 330 to 55 px and back in one frame.
TEST_F(NoteWindowLooks, CollapseAndExpandAnimateThroughTheHeightsBetween)
{
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("折叠 fold"));
    const QRect expanded = restingGeometry(note);
    ASSERT_GT(expanded.height(), 150);
    // The collapse button: second from the right in the header.
    const QPoint collapse = expanded.topLeft() + QPoint(expanded.width() - 51, 37);

    ASSERT_TRUE(input().click(collapse));
    const std::vector<int> collapsing = heightsUntil(note, 55);
    ASSERT_EQ(collapsing.back(), 55) << list(collapsing);
    EXPECT_TRUE(std::any_of(collapsing.begin(), collapsing.end(),
                            [&](int height) { return height > 60 && height < expanded.height() - 5; }))
        << "heights seen: " << list(collapsing);
    EXPECT_EQ(geometry(note).top(), expanded.top()); // the top edge stays

    ASSERT_TRUE(input().click(collapse));
    const std::vector<int> expanding = heightsUntil(note, expanded.height());
    ASSERT_EQ(expanding.back(), expanded.height()) << list(expanding);
    EXPECT_TRUE(std::any_of(expanding.begin(), expanding.end(),
                            [&](int height) { return height > 60 && height < expanded.height() - 5; }))
        << "heights seen: " << list(expanding);
    EXPECT_EQ(geometry(note), expanded);
    EXPECT_TRUE(waitForStored(id, [&](const Note& stored) {
        return !stored.isCollapsed && int(stored.frame.height) == expanded.height();
    }));
}

// A stand-in compositor: a client of its own that owns the screen's
// compositing selection, as a compositing manager does, for as long as it lives.
class CompositorStandIn {
public:
    explicit CompositorStandIn(const QString& display)
        : m_connection(xcb_connect(display.toLatin1().constData(), nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const char name[] = "_NET_WM_CM_S0";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, sizeof(name) - 1, name), nullptr);
        if (!atom)
            return;
        xcb_set_selection_owner(m_connection, window, atom->atom, XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, atom->atom), nullptr);
        m_owning = owner && owner->owner == window;
        std::free(owner);
        std::free(atom);
    }
    ~CompositorStandIn() { xcb_disconnect(m_connection); }
    CompositorStandIn(const CompositorStandIn&) = delete;
    CompositorStandIn& operator=(const CompositorStandIn&) = delete;
    bool owning() const { return m_owning; }

private:
    xcb_connection_t* m_connection;
    bool m_owning = false;
};

class NoteWindowLooksWithCompositor : public NoteWindowLooks {
protected:
    void prepare(QuorrinApp&) override { m_compositor = std::make_unique<CompositorStandIn>(session().display()); }
    std::unique_ptr<CompositorStandIn> m_compositor;
};

// Where a compositor draws shadows, the note leaves its edges to them.
TEST_F(NoteWindowLooksWithCompositor, NotesLeaveTheirEdgesToTheCompositorsShadows)
{
    ASSERT_TRUE(m_compositor && m_compositor->owning()) << "could not stand in for a compositor";
    const WindowId note = firstNoteWindow();
    ASSERT_TRUE(input().moveTo(QPoint(5, 5)));
    const QRect rect = restingGeometry(note);
    const int middle = rect.top() + rect.height() / 2;
    EXPECT_EQ(name(pixelAt(QPoint(rect.left(), middle))), name(pixelAt(QPoint(rect.left() + 3, middle))));
}

// Without a compositor nothing draws a shadow: each note draws a hairline
// edge a little darker than its paper, so notes of one colour stay apart.
TEST_F(NoteWindowLooks, NotesOfOneColourShowAnEdgeWithoutACompositor)
{
    const WindowId first = firstNoteWindow();
    clickIntoText(first);
    const WindowId second = newNoteFromKeyboard();
    ASSERT_NE(second, 0u) << "Ctrl+N showed no new, active note";
    ASSERT_TRUE(input().moveTo(QPoint(5, 5))); // no hover marks on the notes
    const QRect upper = restingGeometry(second);
    for (const WindowId note : {first, second}) {
        const QRect rect = restingGeometry(note);
        const int middle = rect.top() + rect.height() / 2;
        const Rgb paper = pixelAt(QPoint(rect.left() + 3, middle));
        for (const QPoint edge : {QPoint(rect.left(), middle), QPoint(rect.right(), middle),
                                  QPoint(rect.left() + rect.width() / 3, rect.bottom())}) {
            if (note == first && upper.contains(edge))
                continue; // the new note covers it
            const Rgb drawn = pixelAt(edge);
            EXPECT_LT(lightness(drawn), lightness(paper) - 10)
                << describe(note).toStdString() << " edge " << name(drawn) << " paper " << name(paper);
            EXPECT_GT(lightness(drawn), lightness(paper) - 80) << "a little darker, not a black frame";
        }
    }
}

// A note hidden and shown again is the same kind of window as every other:
// its role names it, and the window manager keeps it out of the task bar and
// the pagers and shows it on every desktop.
TEST_F(NoteWindowLooks, ANoteShownAgainAfterHidingIsTheSameKindOfWindow)
{
    const WindowId first = firstNoteWindow();
    const QUuid firstId = app().noteOf(first);
    clickIntoText(first);
    typeAndWaitStored(firstId, QStringLiteral("藏起来"));
    const WindowId second = newNoteFromKeyboard();
    ASSERT_NE(second, 0u) << "Ctrl+N showed no new, active note";
    typeAndWaitStored(app().noteOf(second), QStringLiteral("留着"));
    ASSERT_NO_FATAL_FAILURE(dragByHeader(second, QPoint(380, 0))); // the first note's menu button shows
    // What the window manager keeps of what every note asks for.
    const auto kind = [&](WindowId window) {
        const std::vector<QString> states = x().states(window);
        const auto has = [&](const char* state) {
            return std::find(states.begin(), states.end(), QLatin1String(state)) != states.end();
        };
        QStringList kept;
        if (has("_NET_WM_STATE_SKIP_TASKBAR"))
            kept << QStringLiteral("no taskbar");
        if (has("_NET_WM_STATE_SKIP_PAGER"))
            kept << QStringLiteral("no pager");
        if (has("_NET_WM_STATE_STICKY") || x().desktop(window) == 0xFFFFFFFFu)
            kept << QStringLiteral("every desktop");
        return kept.join(QStringLiteral(", "));
    };
    const QString expected = QStringLiteral("no taskbar, no pager, every desktop");
    ASSERT_EQ(kind(second), expected);

    // The note menu's second row: 隐藏这张便笺.
    ASSERT_NE(openNoteMenu(first), 0u) << "no menu from the \"⋯\" button";
    ASSERT_TRUE(input().key({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    ASSERT_TRUE(waitForStored(firstId, [](const Note& note) { return note.isHidden; }));
    ASSERT_TRUE(waitFor([&] { return app().windowOf(firstId) == 0; }));

    // 显示全部便笺 from the other note's menu.
    ASSERT_NE(openNoteMenu(second), 0u);
    QStringList keys(13, QStringLiteral("Down"));
    keys << QStringLiteral("Return");
    ASSERT_TRUE(input().key(keys));
    ASSERT_TRUE(waitForStored(firstId, [](const Note& note) { return !note.isHidden; }));
    WindowId back = 0;
    ASSERT_TRUE(waitFor([&] { return (back = app().windowOf(firstId)) != 0; }))
        << "no window with the note's role came back; ours: " << app().windows().size();
    EXPECT_TRUE(waitFor([&] { return kind(back) == expected; }))
        << "shown again: " << kind(back).toStdString();
}

} // namespace
} // namespace quorrin::desktop
