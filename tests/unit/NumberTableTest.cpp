// The numbered-table scheme under the file, window and gadget libraries: growth
// at and around its boundaries, identifiers, reopening, closing and re-entry.
#include "base/NumberTable.h"
#include "base/Heap.h"
#include "gadgets/Gadget.h"
#include "windows/Window.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Kind {
    const char* name;
    size_t entrySize;
    int32_t count; // at start
    int32_t step;
    int32_t spare;
};

const Kind kKinds[] = {
    {"file", sizeof(HANDLE), 10, 10, 1},
    {"window", sizeof(WindowEntry), 10, 30, 2},
    {"gadget", sizeof(GadgetEntry), 30, 30, 2},
};

// What the destroy callbacks saw, in order: the number and the handle held.
std::vector<std::pair<intptr_t, void*>> gDestroyed;
NumberTable* gReentered; // a table whose destroy closes its number again

void Destroy(intptr_t number, void* held) {
    gDestroyed.push_back({number, *(void**)held});
    if (gReentered) NumberTableClose(gReentered, number, Destroy);
}

void* Handle(uintptr_t value) {
    return (void*)value;
}

void SetHandle(void* entry, void* handle) {
    *(void**)entry = handle;
}

} // namespace

TEST(NumberTable, GrowsByItsStepAndRefusesWhatCannotBeHeld) {
    struct Case {
        int64_t fromCount; // the number, as an offset from the count at the time
        int64_t number;    // or, when fromCount is INT64_MIN, the number itself
        bool opens;
        int64_t count; // the count afterwards; -1: as before
    };
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        NumberTable table;
        ASSERT_NE(0, NumberTableInit(&table, kind.entrySize, kind.count, kind.step, kind.spare));
        const int32_t step = kind.step;
        const Case cases[] = {
            {-1, 0, true, -1},                        // the last number below the count
            {0, 0, true, 0},                          // the count itself grows the table
            {1, 0, true, 1},                          // one past it grows from there
            {INT64_MIN, 5, true, -1},                 // far below: no growth
            {INT64_MIN, 100000, true, 100000 + step}, // a table of a few megabytes
            {INT64_MIN, (1 << 30) - 11, false, -1},   // bytes past 2^32 with four-byte entries
            {INT64_MIN, INT32_MAX - step, false, -1}, // the last count that is a number
            {INT64_MIN, (int64_t)INT32_MAX - step + 1, false, -1}, // a count past INT32_MAX
            {INT64_MIN, INT32_MAX, false, -1},
            {INT64_MIN, -2, false, -1}, // no number and no identifier
        };
        for (const Case& c : cases) {
            const int32_t before = table.count;
            intptr_t number =
                (intptr_t)(c.fromCount == INT64_MIN ? c.number : before + c.fromCount);
            SCOPED_TRACE(number);
            void* entry = NumberTableSlot(&table, &number, Destroy);
            ASSERT_EQ(c.opens, entry != nullptr);
            const int64_t count =
                c.count == -1 ? before
                              : (c.fromCount == INT64_MIN ? c.count : before + c.count + step);
            EXPECT_EQ(count, table.count);
            if (!entry) continue;
            // The entry is the number's own, empty, and every number up to the
            // count can be looked up without touching memory outside the table.
            EXPECT_EQ(entry, NumberTableFind(&table, number));
            EXPECT_EQ(nullptr, NumberTableLookup(&table, number));
            SetHandle(entry, Handle(0x100 + number));
            EXPECT_EQ(entry, NumberTableLookup(&table, number));
            EXPECT_EQ(nullptr, NumberTableLookup(&table, table.count));
            EXPECT_TRUE(NumberTableIsIndex(&table, table.count));
        }
        // Entries in use kept their handles across every growth.
        EXPECT_EQ(Handle(0x105), *(void**)NumberTableLookup(&table, 5));
        EXPECT_EQ(Handle(0x100 + 100000), *(void**)NumberTableLookup(&table, 100000));
    }
}

TEST(NumberTable, IdentifiersNameTheirOwnRecordsOnly) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        NumberTable table;
        ASSERT_NE(0, NumberTableInit(&table, kind.entrySize, kind.count, kind.step, kind.spare));
        intptr_t first = NumberAny, second = NumberAny;
        SetHandle(NumberTableSlot(&table, &first, Destroy), Handle(0xA1));
        SetHandle(NumberTableSlot(&table, &second, Destroy), Handle(0xA2));
        ASSERT_NE(first, second);
        EXPECT_FALSE(NumberTableIsIndex(&table, first));
        int local = 0;
        for (intptr_t madeUp : {(intptr_t)&local, first + 1, (intptr_t)-3})
            EXPECT_EQ(nullptr, NumberTableFind(&table, madeUp)) << madeUp;
        intptr_t negative = -3;
        EXPECT_EQ(nullptr, NumberTableSlot(&table, &negative, Destroy));
        // A live identifier opens again in its own record: what it held is
        // destroyed, the table does not grow, the identifier stays.
        gDestroyed.clear();
        const int32_t count = table.count;
        intptr_t again = first;
        void* entry = NumberTableSlot(&table, &again, Destroy);
        EXPECT_EQ((void*)first, entry);
        EXPECT_EQ(first, again);
        EXPECT_EQ(count, table.count);
        ASSERT_EQ(1u, gDestroyed.size());
        EXPECT_EQ(Handle(0xA1), gDestroyed[0].second);
        SetHandle(entry, Handle(0xB1));
        // A table number opened again likewise.
        intptr_t seven = 7;
        SetHandle(NumberTableSlot(&table, &seven, Destroy), Handle(0x7));
        SetHandle(NumberTableSlot(&table, &seven, Destroy), Handle(0x77));
        EXPECT_EQ(Handle(0x7), gDestroyed.back().second);

        // Closed, an identifier names nothing; a close re-entered from the
        // destroy finds nothing more to close.
        gDestroyed.clear();
        gReentered = &table;
        NumberTableClose(&table, second, Destroy);
        gReentered = nullptr;
        EXPECT_EQ(1u, gDestroyed.size());
        EXPECT_EQ(nullptr, NumberTableFind(&table, second));
        NumberTableClose(&table, second, Destroy);
        EXPECT_EQ(1u, gDestroyed.size());

        // Close-all: identifiers newest first, then the table in the kind's order.
        intptr_t third = NumberAny;
        SetHandle(NumberTableSlot(&table, &third, Destroy), Handle(0xA3));
        intptr_t two = 2;
        SetHandle(NumberTableSlot(&table, &two, Destroy), Handle(0x2));
        gDestroyed.clear();
        static NumberTable* closing;
        closing = &table;
        NumberTableCloseAll(
            &table, [](intptr_t number) { NumberTableClose(closing, number, Destroy); },
            kind.step == 30);
        std::vector<void*> order;
        for (auto& closed : gDestroyed) order.push_back(closed.second);
        std::vector<void*> expected = {Handle(0xA3), Handle(0xB1)};
        if (kind.step == 30)
            expected.insert(expected.end(), {Handle(0x77), Handle(0x2)});
        else
            expected.insert(expected.end(), {Handle(0x2), Handle(0x77)});
        EXPECT_EQ(expected, order);
        EXPECT_EQ(nullptr, ObjectListFirst(table.any));
    }
}

TEST(NumberTable, IdentifiersKeepTheirRecordsWhenTheTableGrowsPastThem) {
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        NumberTable table;
        ASSERT_NE(0, NumberTableInit(&table, kind.entrySize, kind.count, kind.step, kind.spare));
        intptr_t id = NumberAny;
        SetHandle(NumberTableSlot(&table, &id, Destroy), Handle(0xA1));
        // A table number past the identifier grows the table over it (a table of
        // tens to hundreds of megabytes, most of it never touched).
        intptr_t beyond = id + 100;
        void* entry = NumberTableSlot(&table, &beyond, Destroy);
        ASSERT_TRUE(entry) << "no room for a table past " << id;
        ASSERT_GT(table.count, id);
        SetHandle(entry, Handle(0xB2));

        EXPECT_FALSE(NumberTableIsIndex(&table, id));
        EXPECT_EQ((void*)id, NumberTableLookup(&table, id));
        EXPECT_TRUE(NumberTableIsIndex(&table, id + 8)) << "a number beside it is a table number";
        // Opened again, the identifier keeps its record and the table its count.
        gDestroyed.clear();
        const int32_t count = table.count;
        intptr_t again = id;
        EXPECT_EQ((void*)id, NumberTableSlot(&table, &again, Destroy));
        EXPECT_EQ(count, table.count);
        ASSERT_EQ(1u, gDestroyed.size());
        EXPECT_EQ(Handle(0xA1), gDestroyed[0].second);
        SetHandle((void*)id, Handle(0xA2));

        // Close-all closes both and ends. A close that leaves the record in the
        // list is stopped here, so that a fault shows as a failure, not a hang.
        gDestroyed.clear();
        static NumberTable* closing;
        static int idCloses;
        closing = &table;
        idCloses = 0;
        static intptr_t closingId;
        closingId = id;
        NumberTableCloseAll(
            &table,
            [](intptr_t number) {
                bool listed = ObjectListHas(closing->any, (void*)number);
                if (number == closingId && listed && ++idCloses > 1) {
                    ADD_FAILURE() << "the identifier's record outlived its close";
                    ObjectListRemove(&closing->any, (void*)number);
                    return;
                }
                NumberTableClose(closing, number, Destroy);
            },
            false);
        std::vector<void*> order;
        for (auto& closed : gDestroyed) order.push_back(closed.second);
        EXPECT_EQ((std::vector<void*>{Handle(0xA2), Handle(0xB2)}), order);
        EXPECT_EQ(nullptr, ObjectListFirst(table.any));
        HeapFree(HeapMain(), 0, table.entries);
    }
}
