// Signals: combiner, order, tracking of bound controls, blocking, changes during a firing.

#include "TreeFixture.h"

#include "framework/Signal.h"

#include <boost/bind/bind.hpp>

#include <functional>
#include <string>
#include <vector>

namespace {

using boost::placeholders::_1;

// A control with a member handler that records calls into a shared log.
class Listener : public TestLeaf {
public:
    Listener(std::vector<std::string>& log, std::string name)
        : TestLeaf(nullptr, RECT {}), log(log), name(std::move(name))
    {
    }
    long OnEvent(const IMEvent&)
    {
        log.push_back(name);
        return 7;
    }
    long OnEventWith(const IMEvent&, int extra)
    {
        log.push_back(name + std::to_string(extra));
        return 0;
    }
    long OnPair(const IMEvent&, Listener* other)
    {
        log.push_back(name + "+" + other->name);
        return 0;
    }
    std::vector<std::string>& log;
    std::string name;
};

TEST(SignalTest, HandlersRunInConnectionOrderAndTheLastValueIsAnswered)
{
    IMEventSignal signal;
    std::vector<int> order;
    signal.connect([&](const IMEvent&) { order.push_back(1); return 10L; });
    signal.connect([&](const IMEvent&) { order.push_back(2); return 0L; });
    signal.connect([&](const IMEvent&) { order.push_back(3); return 30L; });
    EXPECT_EQ(signal(IMEvent()), 30);
    EXPECT_EQ(order, (std::vector<int> { 1, 2, 3 }));
}

TEST(SignalTest, FireSignalSkipsSignalsWithoutARunnableHandler)
{
    IMEventSignal signal;
    EXPECT_FALSE(FireSignal(signal, IMEvent()));

    int calls = 0;
    IMConnection c = signal.connect([&](const IMEvent&) { ++calls; return 0L; });
    {
        IMConnectionBlock block(c);
        // Plain firing of a signal whose only handler is blocked throws with this combiner.
        EXPECT_FALSE(FireSignal(signal, IMEvent()));
    }
    EXPECT_TRUE(FireSignal(signal, IMEvent()));
    EXPECT_EQ(calls, 1);
}

TEST(SignalTest, BlockingSuspendsOneHandlerUntilUnblocked)
{
    IMEventSignal signal;
    std::vector<std::string> log;
    IMConnection first = signal.connect([&](const IMEvent&) { log.push_back("a"); return 0L; });
    signal.connect([&](const IMEvent&) { log.push_back("b"); return 0L; });

    IMConnectionBlock block(first);
    FireSignal(signal, IMEvent());
    block.unblock();
    FireSignal(signal, IMEvent());
    block.block();
    FireSignal(signal, IMEvent());
    EXPECT_EQ(log, (std::vector<std::string> { "b", "a", "b", "b" }));
}

TEST(SignalTest, HandlerConnectedDuringAFiringRunsFromTheNextFiring)
{
    IMEventSignal signal;
    std::vector<std::string> log;
    bool connected = false;
    signal.connect([&](const IMEvent&) {
        log.push_back("first");
        if (!connected) {
            connected = true;
            signal.connect([&](const IMEvent&) { log.push_back("late"); return 0L; });
        }
        return 0L;
    });
    FireSignal(signal, IMEvent());
    EXPECT_EQ(log, (std::vector<std::string> { "first" }));
    FireSignal(signal, IMEvent());
    EXPECT_EQ(log, (std::vector<std::string> { "first", "first", "late" }));
}

TEST(SignalTest, HandlerDisconnectedOrBlockedByAnEarlierOneDoesNotRunInThatFiring)
{
    for (const bool useBlock : { false, true }) {
        SCOPED_TRACE(useBlock ? "blocked" : "disconnected");
        IMEventSignal signal;
        std::vector<std::string> log;
        IMConnection second;
        IMConnectionBlock block;
        signal.connect([&](const IMEvent&) {
            log.push_back("first");
            if (useBlock)
                block = IMConnectionBlock(second);
            else
                second.disconnect();
            return 0L;
        });
        second = signal.connect([&](const IMEvent&) { log.push_back("second"); return 0L; });
        FireSignal(signal, IMEvent());
        EXPECT_EQ(log, (std::vector<std::string> { "first" }));
    }
}

// Every way of binding a handler to a control that the framework promises to track.
TEST(SignalTest, HandlersBoundToAControlEndWhenTheControlIsDestroyed)
{
    struct Binding {
        const char* name;
        std::function<IMConnection(IMEventSignal&, Listener*)> connect;
    };
    const std::vector<Binding> bindings {
        { "boost::bind raw pointer",
            [](IMEventSignal& s, Listener* l) { return s.connect(boost::bind(&Listener::OnEvent, l, _1)); } },
        { "boost::bind with an extra value",
            [](IMEventSignal& s, Listener* l) {
                return s.connect(boost::bind(&Listener::OnEventWith, l, _1, 5));
            } },
        { "slot_type from member and object",
            [](IMEventSignal& s, Listener* l) {
                return s.connect(IMEventSignal::slot_type(&Listener::OnEvent, l, _1));
            } },
        { "Connect", [](IMEventSignal& s, Listener* l) { return Connect(s, l, &Listener::OnEvent); } },
        { "ConnectTracked lambda",
            [](IMEventSignal& s, Listener* l) {
                return ConnectTracked(s, l, [l](const IMEvent& e) { return l->OnEvent(e); });
            } },
        { "ConnectTracked std::bind",
            [](IMEventSignal& s, Listener* l) {
                return ConnectTracked(s, l, std::bind(&Listener::OnEvent, l, std::placeholders::_1));
            } },
    };
    for (const auto& binding : bindings) {
        SCOPED_TRACE(binding.name);
        std::vector<std::string> log;
        IMEventSignal signal;
        auto* listener = new Listener(log, "L");
        IMConnection connection = binding.connect(signal, listener);
        EXPECT_TRUE(FireSignal(signal, IMEvent()));
        EXPECT_EQ(log.size(), 1u);

        delete listener;
        EXPECT_FALSE(connection.connected());
        EXPECT_FALSE(FireSignal(signal, IMEvent()));
        EXPECT_EQ(log.size(), 1u);
    }
}

TEST(SignalTest, AHandlerTrackingTwoControlsEndsWithEitherOfThem)
{
    std::vector<std::string> log;
    IMEventSignal signal;
    Listener keeper(log, "keeper");
    auto* other = new Listener(log, "other");
    IMConnection alone = signal.connect(boost::bind(&Listener::OnEvent, &keeper, _1));
    IMConnection pair = signal.connect(boost::bind(&Listener::OnPair, &keeper, _1, other));
    FireSignal(signal, IMEvent());
    delete other;
    FireSignal(signal, IMEvent());
    EXPECT_TRUE(alone.connected());
    EXPECT_FALSE(pair.connected());
    EXPECT_EQ(log, (std::vector<std::string> { "keeper", "keeper+other", "keeper" }));
}

TEST(SignalTest, EventsAnswerTheirKindThroughIs)
{
    const IMMouseEvent mouse(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, 3, 4);
    const IMEvent& asBase = mouse;
    EXPECT_TRUE(asBase.Is(WM_LBUTTONDOWN));
    EXPECT_FALSE(asBase.Is(WM_LBUTTONUP));
    EXPECT_EQ(mouse.lParam, 0);
    const IMKeyboardEvent key(nullptr, WM_CHAR, L'я', 0x10001);
    EXPECT_TRUE(key.Is(WM_CHAR));
    EXPECT_EQ(key.wParam, static_cast<uint32_t>(L'я'));
}

}
