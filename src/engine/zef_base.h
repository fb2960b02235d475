#pragma once

class ZefDX;
class ZefBase;

// The link part of every run-time object: lists are intrusive.
template <typename T>
class dlink {
  public:
    virtual ~dlink() = default;
    T* prev = nullptr;
    T* next = nullptr;
};

// Every run-time object. The destructor does not unlink: lists remove a
// member before they delete it.
class ZefBase : public dlink<ZefBase> {
  public:
    explicit ZefBase(ZefDX* owner) : owner(owner) {}
    ~ZefBase() override = default;
    ZefBase(const ZefBase&) = delete;
    ZefBase& operator=(const ZefBase&) = delete;

    virtual void process() {}

    ZefDX* owner;
    bool killed = false;
};

// Owns its members; destroying the list deletes them head to tail.
template <typename T>
class dlist {
  public:
    dlist() = default;
    ~dlist() { clear(); }
    dlist(const dlist&) = delete;
    dlist& operator=(const dlist&) = delete;

    void append(T* object) {
        if (head == nullptr) {
            head = tail = object;
            object->prev = object->next = nullptr;
        } else {
            tail->next = object;
            object->prev = tail;
            object->next = nullptr;
            tail = object;
        }
    }

    // Unlinks without deleting; the removed object's own links stay as they were.
    void remove(T* object) {
        if (object == head) {
            if (object->next != nullptr) {
                head = object->next;
                head->prev = nullptr;
            } else {
                head = tail = nullptr;
            }
        } else if (object == tail) {
            tail = object->prev;
            tail->next = nullptr;
        } else {
            object->prev->next = object->next;
            object->next->prev = object->prev;
        }
    }

    bool contains(const T* object) const {
        for (const T* member = head; member != nullptr; member = member->next) {
            if (member == object) return true;
        }
        return false;
    }

    void clear() {
        while (head != nullptr) {
            T* taken = head;
            head = taken->next;
            delete taken;
        }
        tail = nullptr;
    }

    T* head = nullptr;
    T* tail = nullptr;
};

class ZefListOwner : public ZefBase {
  public:
    explicit ZefListOwner(ZefDX* owner) : ZefBase(owner) {}

    // Runs every member in order; a member whose kill flag is set after its
    // own step is removed and deleted right away. The next member is taken
    // before the step, so one appended behind the tail waits a pass.
    void process() override {
        ZefBase* current = children.head;
        while (current != nullptr) {
            ZefBase* following = current->next;
            current->process();
            if (current->killed) {
                children.remove(current);
                delete current;
            }
            current = following;
        }
    }

    dlist<ZefBase> children;
};
