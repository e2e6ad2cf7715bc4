#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <random>

#include "channel/RosterModel.h"

namespace zarivok {
namespace {

// The lookups as the roster has always answered them, by looking at every row from the top.
qsizetype ScanIgnoringCase(const RosterModel& roster, const QString& name) {
    for (qsizetype row = 0; row < roster.Count(); ++row) {
        if (roster.At(row).name.compare(name, Qt::CaseInsensitive) == 0) return row;
    }
    return -1;
}
qsizetype ScanExact(const RosterModel& roster, const QString& name) {
    for (qsizetype row = 0; row < roster.Count(); ++row) {
        if (!roster.At(row).name.isEmpty() && roster.At(row).name == name) return row;
    }
    return -1;
}
qsizetype ScanProvisional(const RosterModel& roster, const QString& name) {
    for (qsizetype row = 0; row < roster.Count(); ++row) {
        if (roster.At(row).provisional && roster.At(row).name == name) return row;
    }
    return -1;
}

// Duplicates in any letter case, rows inserted and removed in the middle, renamed rows and
// letters outside ASCII (a pair of surrogates, a final sigma, a sharp s, which folds to itself
// and so never equals "ss"): each lookup finds the first row from the top.
TEST(RosterModelTest, FindsTheFirstRowFromTheTopAfterChangesAnywhere) {
    RosterModel roster;
    QAbstractItemModelTester tester(&roster);
    const QString deseretUpper = QString::fromUcs4(U"\U00010400x");
    const QString deseretLower = QString::fromUcs4(U"\U00010428X");
    for (const QString& name :
         {QStringLiteral("bob"), QStringLiteral("Alice"), QStringLiteral("BOB"),
          QString::fromUtf8("ΣΑΣ"), QString::fromUtf8("Straße"), deseretUpper, QString()}) {
        roster.Append(name, 0);
    }
    roster.Insert(0, QStringLiteral("Bob"), 0);           // a new first Bob
    roster.Insert(3, QStringLiteral("alice"), 0, true);   // after the first Alice
    roster.RemoveAt(1);                                   // the old first "bob"
    roster.Replace(2, QStringLiteral("carol"), 0, true);  // "alice" renamed

    struct Case {
        QString name;
        qsizetype ignoringCase, exact, provisional;
    };
    const Case cases[] = {
        {"bob", 0, -1, -1},
        {"BOB", 0, 3, -1},
        {"ALICE", 1, -1, -1},
        {"carol", 2, 2, 2},
        {QString::fromUtf8("σας"), 4, -1, -1},
        {QString::fromUtf8("STRASSE"), -1, -1, -1},
        {QString::fromUtf8("straße"), 5, -1, -1},
        {deseretLower, 6, -1, -1},
        {QString(), 7, -1, -1},
        {"dave", -1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(roster.FindIgnoringCase(c.name), c.ignoringCase);
        EXPECT_EQ(roster.FindExact(c.name), c.exact);
        EXPECT_EQ(roster.FindProvisional(c.name), c.provisional);
    }
    roster.Clear();
    EXPECT_EQ(roster.FindIgnoringCase(QStringLiteral("bob")), -1);
}

// Many changes at random places, many at the same place (which uses up the room between two
// neighbours' keys), from a few names in several letter cases: every lookup agrees with the scan.
TEST(RosterModelTest, AgreesWithAScanOverAnySequenceOfChanges) {
    RosterModel roster;
    std::mt19937 random(7);
    const QStringList names = {"ann", "Ann", "ANN", "bo", "Bo", "cy", "", "Dee"};
    const auto pick = [&](qsizetype bound) {
        return static_cast<qsizetype>(random() % static_cast<unsigned>(bound));
    };
    for (int step = 0; step < 4000; ++step) {
        const QString name = names[pick(names.size())];
        const unsigned action = random() % 10;
        if (roster.Count() == 0 || action < 4) {
            roster.Insert(pick(roster.Count() + 1), name, 0, random() % 3 == 0);
        } else if (action < 5) {
            roster.Insert(qMin<qsizetype>(1, roster.Count()), name, 0);  // always the same gap
        } else if (action < 8) {
            roster.RemoveAt(pick(roster.Count()));
        } else if (action < 9) {
            roster.Replace(pick(roster.Count()), name, 0, random() % 2 == 0);
        } else if (step % 500 == 0) {
            roster.Clear();
        }
        for (const QString& probe : names) {
            ASSERT_EQ(roster.FindIgnoringCase(probe), ScanIgnoringCase(roster, probe)) << step;
            ASSERT_EQ(roster.FindExact(probe), ScanExact(roster, probe)) << step;
            ASSERT_EQ(roster.FindProvisional(probe), ScanProvisional(roster, probe)) << step;
        }
    }
}

}  // namespace
}  // namespace zarivok
