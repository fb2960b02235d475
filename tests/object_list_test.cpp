#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/zef_base.h"

namespace {

// Records every step and every deletion into a shared log.
struct Probe : ZefBase {
    Probe(int id, std::vector<std::string>& log) : ZefBase(nullptr), id(id), log(log) {}
    ~Probe() override { log.push_back("del" + std::to_string(id)); }
    void process() override {
        log.push_back("run" + std::to_string(id));
        if (onProcess) onProcess(*this);
    }
    int id;
    std::vector<std::string>& log;
    std::function<void(Probe&)> onProcess;
};

struct CountingOwner : ZefListOwner {
    CountingOwner(int id, std::vector<std::string>& log)
        : ZefListOwner(nullptr), id(id), log(log) {}
    ~CountingOwner() override { log.push_back("delOwner" + std::to_string(id)); }
    int id;
    std::vector<std::string>& log;
};

class ObjectListTest : public ::testing::Test {
  protected:
    Probe* make(int id) { return new Probe(id, log); }
    Probe* appended(int id) {
        Probe* p = make(id);
        owner.children.append(p);
        return p;
    }
    std::vector<std::string> log;
    ZefListOwner owner{nullptr};
};

TEST_F(ObjectListTest, AppendAndRemoveKeepLinksConsistent) {
    Probe* a = appended(1);
    EXPECT_EQ(owner.children.head, a);
    EXPECT_EQ(owner.children.tail, a);
    EXPECT_EQ(a->prev, nullptr);
    EXPECT_EQ(a->next, nullptr);

    Probe* b = appended(2);
    owner.children.remove(a);
    EXPECT_EQ(owner.children.head, b);
    EXPECT_EQ(owner.children.tail, b);
    EXPECT_EQ(b->prev, nullptr);
    // The removed object keeps its own links and is not deleted.
    EXPECT_EQ(a->next, b);
    EXPECT_TRUE(log.empty());

    owner.children.remove(b);
    EXPECT_EQ(owner.children.head, nullptr);
    EXPECT_EQ(owner.children.tail, nullptr);
    delete a;
    delete b;
}

TEST_F(ObjectListTest, RemovingTheMiddleAndTailRelinksNeighbours) {
    Probe* a = appended(1);
    Probe* b = appended(2);
    Probe* c = appended(3);
    owner.children.remove(b);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(c->prev, a);
    owner.children.remove(c);
    EXPECT_EQ(owner.children.tail, a);
    EXPECT_EQ(a->next, nullptr);
    delete b;
    delete c;
}

TEST_F(ObjectListTest, MembersThatKillThemselvesRunOnceAndAreDeletedRightAfter) {
    for (int id = 1; id <= 3; ++id) {
        Probe* p = make(id);
        p->onProcess = [](Probe& self) { self.killed = true; };
        owner.children.append(p);
    }
    owner.process();
    EXPECT_EQ(log, (std::vector<std::string>{"run1", "del1", "run2", "del2", "run3", "del3"}));
    EXPECT_EQ(owner.children.head, nullptr);
    EXPECT_EQ(owner.children.tail, nullptr);
}

TEST_F(ObjectListTest, AppendedBehindAnEarlierMemberRunsInTheSamePass) {
    Probe* a = appended(1);
    appended(2);
    a->onProcess = [this](Probe& self) {
        owner.children.append(make(3));
        self.onProcess = nullptr;
    };
    owner.process();
    EXPECT_EQ(log, (std::vector<std::string>{"run1", "run2", "run3"}));
}

TEST_F(ObjectListTest, AppendedByTheTailWaitsForTheNextPass) {
    Probe* a = appended(1);
    a->onProcess = [this](Probe& self) {
        owner.children.append(make(2));
        self.onProcess = nullptr;
    };
    owner.process();
    EXPECT_EQ(log, (std::vector<std::string>{"run1"}));
    owner.process();
    EXPECT_EQ(log, (std::vector<std::string>{"run1", "run1", "run2"}));
}

TEST_F(ObjectListTest, KilledByALaterMemberRunsOnceMoreBeforeDeletion) {
    Probe* a = appended(1);
    Probe* b = appended(2);
    b->onProcess = [a](Probe& self) {
        a->killed = true;
        self.onProcess = nullptr;
    };
    owner.process();
    EXPECT_EQ(log, (std::vector<std::string>{"run1", "run2"}));
    owner.process();
    EXPECT_EQ(log, (std::vector<std::string>{"run1", "run2", "run1", "del1", "run2"}));
}

TEST_F(ObjectListTest, KillFlagOutsideAnyListChangesNothing) {
    Probe loose(9, log);
    loose.killed = true;
    owner.process();
    EXPECT_TRUE(log.empty());
}

TEST_F(ObjectListTest, DeletingAnOwnerDeletesTheWholeTreeHeadToTail) {
    auto* outer = new CountingOwner(1, log);
    auto* inner = new CountingOwner(2, log);
    inner->children.append(make(21));
    inner->children.append(make(22));
    outer->children.append(make(11));
    outer->children.append(inner);
    delete outer;
    EXPECT_EQ(log, (std::vector<std::string>{"delOwner1", "del11", "delOwner2", "del21", "del22"}));
}

}  // namespace
