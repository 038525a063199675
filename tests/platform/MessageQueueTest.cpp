// Registered messages and the posted-message queue: ids by name, delivery to receivers,
// posting from other threads.

#include "framework/Messages.h"
#include "platform/MessageQueue.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <vector>

namespace {

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override { TakePostedMessages(); }
    void TearDown() override
    {
        TakePostedMessages();
        for (int token : tokens)
            RemoveRegisteredMessageHandler(token);
    }
    int AddHandler(IMRegisteredMessageHandler handler)
    {
        int token = AddRegisteredMessageHandler(std::move(handler));
        tokens.push_back(token);
        return token;
    }
    std::vector<int> tokens;
};

using MessageQueueThreads = MessageQueueTest;

} // namespace

TEST_F(MessageQueueTest, RegisteredIdsAreStablePerName)
{
    const uint32_t play = RegisterWindowMessage(L"MessageQueueTest.PLAY");
    const uint32_t stop = RegisterWindowMessage(L"MessageQueueTest.STOP");
    EXPECT_GE(play, IM_REGISTERED_MESSAGE_FIRST);
    EXPECT_EQ(stop, play + 1);
    EXPECT_EQ(RegisterWindowMessage(L"MessageQueueTest.PLAY"), play);
    EXPECT_EQ(RegisterWindowMessage(std::wstring(L"MessageQueueTest.STOPPED").substr(0, 21)), stop);
    EXPECT_EQ(RegisterWindowMessage(L""), 0u);
}

TEST_F(MessageQueueTest, PostedMessagesWaitForTheLoop)
{
    EXPECT_FALSE(HasPostedMessages());
    EXPECT_TRUE(PostWindowMessage(WM_USER + 1, 7, -3));
    EXPECT_TRUE(PostWindowMessage(WM_USER + 2, 8, 4));
    EXPECT_FALSE(PostWindowMessage(0, 1, 1));
    EXPECT_TRUE(HasPostedMessages());
    EXPECT_TRUE(WaitForPostedMessages(0));
    const std::vector<IMWindowMessage> expected { { WM_USER + 1, 7, -3 }, { WM_USER + 2, 8, 4 } };
    EXPECT_EQ(TakePostedMessages(), expected);
    EXPECT_TRUE(TakePostedMessages().empty());
    EXPECT_FALSE(WaitForPostedMessages(0));
}

TEST_F(MessageQueueTest, AFullQueueRefusesInsteadOfGrowingForever)
{
    size_t accepted = 0;
    while (PostWindowMessage(WM_USER, 0, 0) && accepted < 20000)
        ++accepted;
    EXPECT_EQ(accepted, 10000u);
    EXPECT_EQ(TakePostedMessages().size(), 10000u);
    EXPECT_TRUE(PostWindowMessage(WM_USER, 0, 0));
}

TEST_F(MessageQueueTest, ReceiversGetRegisteredMessagesInOrderOfAdding)
{
    const uint32_t label = RegisterWindowMessage(L"MessageQueueTest.LABEL");
    std::vector<std::string> log;
    int second = 0;
    AddHandler([&](const IMWindowMessage& m) {
        log.push_back("a" + std::to_string(m.wParam));
        // A receiver may remove another (or itself) while the dispatch runs.
        RemoveRegisteredMessageHandler(second);
    });
    second = AddHandler([&](const IMWindowMessage& m) { log.push_back("b" + std::to_string(m.wParam)); });
    AddHandler([&](const IMWindowMessage& m) { log.push_back("c" + std::to_string(m.lParam)); });

    EXPECT_TRUE(DispatchRegisteredMessage({ label, 1, 5 }));
    EXPECT_FALSE(DispatchRegisteredMessage({ WM_KEYDOWN, 2, 0 })); // not a registered message
    EXPECT_TRUE(DispatchRegisteredMessage({ label, 3, 6 }));
    EXPECT_EQ(log, (std::vector<std::string> { "a1", "c5", "a3", "c6" }));
    RemoveRegisteredMessageHandler(0);
    RemoveRegisteredMessageHandler(123456);
}

TEST_F(MessageQueueThreads, PostsFromManyThreadsAllArriveInOrderPerThread)
{
    constexpr int threads = 4;
    constexpr int perThread = 2000;
    const uint32_t base = RegisterWindowMessage(L"MessageQueueThreads.BASE");
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t)
        posters.emplace_back([=] {
            for (int i = 0; i < perThread; ++i)
                while (!PostWindowMessage(base, static_cast<uint32_t>(t), i))
                    std::this_thread::yield();
        });
    std::map<uint32_t, int32_t> next;
    int received = 0;
    while (received < threads * perThread) {
        WaitForPostedMessages(UINT32_MAX);
        for (const IMWindowMessage& m : TakePostedMessages()) {
            ASSERT_EQ(m.message, base);
            EXPECT_EQ(m.lParam, next[m.wParam]) << "thread " << m.wParam;
            next[m.wParam] = m.lParam + 1;
            ++received;
        }
    }
    for (std::thread& p : posters)
        p.join();
    EXPECT_EQ(received, threads * perThread);
    EXPECT_FALSE(HasPostedMessages());
}

TEST_F(MessageQueueThreads, RegisteringFromManyThreadsGivesOneIdPerName)
{
    std::vector<std::thread> workers;
    std::vector<uint32_t> ids(8);
    for (size_t t = 0; t < ids.size(); ++t)
        workers.emplace_back([&ids, t] { ids[t] = RegisterWindowMessage(L"MessageQueueThreads.SAME"); });
    for (std::thread& w : workers)
        w.join();
    for (uint32_t id : ids)
        EXPECT_EQ(id, ids[0]);
}
