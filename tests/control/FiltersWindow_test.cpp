#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "control/FiltersWindow.h"
#include "raster/Color.h"
#include "store/PacketMatcher.h"
#include "support/ScriptedDialogs.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
struct FiltersWindowTest : ::testing::Test {
    FilterModel model;
    ScriptedDialogs dialogs;
    FiltersWindow window{model, dialogs};
    FiltersWindowTest() { window.setAttribute(Qt::WA_DeleteOnClose, false); }

    template <class T>
    T* child(const char* name) {
        T* c = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(c) << name;
        return c;
    }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    void enter(const char* field, const QString& text) {
        QLineEdit* e = child<QLineEdit>(field);
        e->clear();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    std::vector<std::string> ruleExpressions() const {
        std::vector<std::string> v;
        for (const ColorRule& r : model.colorRules()) v.push_back(r.matcher->expression());
        return v;
    }
    QStringList listed() {
        QStringList v;
        auto* list = child<QListWidget>("lstColorRules");
        for (int i = 0; i < list->count(); ++i) v << list->item(i)->text();
        return v;
    }
};
}  // namespace

TEST_F(FiltersWindowTest, DisplayFilterComesIntoForceOnEnterAndABadOneIsMarked) {
    QLineEdit* field = child<QLineEdit>("txtDisplayFilter");
    bool labelled = false;
    for (QLabel* l : window.findChildren<QLabel*>())
        labelled = labelled || (l->text() == "Show only packets matching:" && l->buddy() == field);
    EXPECT_TRUE(labelled);

    QTest::keyClicks(field, "arp");
    EXPECT_EQ(model.displayFilter(), "");  // nothing compiled while typing
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(model.displayFilter(), "arp");
    EXPECT_TRUE(field->toolTip().isEmpty());

    enter("txtDisplayFilter", "tcp port");
    EXPECT_EQ(model.displayFilter(), "arp");
    const QString message = field->property("error").toString();
    EXPECT_TRUE(message.contains("syntax error")) << message.toStdString();
    EXPECT_EQ(field->toolTip(), message + "\nstill showing packets matching: arp");
    EXPECT_TRUE(field->styleSheet().contains("192,0,0"));
    EXPECT_EQ(field->text(), "tcp port");  // the user's text stays to be mended
    auto saidInWindow = [&](const QString& text) {
        for (QLabel* l : window.findChildren<QLabel*>())
            if (!l->isHidden() && !text.isEmpty() && l->text() == text) return true;
        return false;
    };
    EXPECT_TRUE(saidInWindow(message));  // not only in the tool tip

    enter("txtDisplayFilter", "ip6");
    EXPECT_EQ(model.displayFilter(), "ip6");
    EXPECT_FALSE(saidInWindow(message));
    EXPECT_TRUE(field->toolTip().isEmpty());
    EXPECT_TRUE(field->styleSheet().isEmpty());
    enter("txtDisplayFilter", "");
    EXPECT_EQ(model.displayFilter(), "");
}

TEST_F(FiltersWindowTest, RulesAreAddedOrderedRecolouredAndRemoved) {
    for (const char* b :
         {"btnColorRuleColor", "btnColorRuleUp", "btnColorRuleDown", "btnRemoveColorRule"})
        EXPECT_FALSE(button(b)->isEnabled()) << b;

    dialogs.colors = {rgb(1, 2, 3)};
    child<QLineEdit>("txtColorRule")->setText("arp");
    button("btnAddColorRule")->click();
    enter("txtColorRule", "ip6");  // cancelled chooser: the new rule's starting red
    ASSERT_EQ(ruleExpressions(), (std::vector<std::string>{"arp", "ip6"}));
    EXPECT_EQ(model.colorRules()[0].color, rgb(1, 2, 3));
    EXPECT_EQ(model.colorRules()[1].color, rgb(255, 0, 0));
    EXPECT_EQ(listed(), (QStringList{"arp", "ip6"}));
    EXPECT_TRUE(child<QLineEdit>("txtColorRule")->text().isEmpty());
    // The newest rule is selected: it can go up, not down.
    EXPECT_TRUE(button("btnColorRuleUp")->isEnabled());
    EXPECT_FALSE(button("btnColorRuleDown")->isEnabled());

    enter("txtColorRule", "tcp port");
    EXPECT_EQ(model.colorRules().size(), 2u);
    EXPECT_FALSE(child<QLineEdit>("txtColorRule")->toolTip().isEmpty());
    EXPECT_EQ(child<QLineEdit>("txtColorRule")->text(), "tcp port");
    enter("txtColorRule", "  ");
    EXPECT_EQ(model.colorRules().size(), 2u);

    button("btnColorRuleUp")->click();
    EXPECT_EQ(ruleExpressions(), (std::vector<std::string>{"ip6", "arp"}));
    EXPECT_EQ(listed(), (QStringList{"ip6", "arp"}));
    dialogs.colors = {rgb(9, 9, 9)};
    button("btnColorRuleColor")->click();
    EXPECT_EQ(model.colorRules()[0].color, rgb(9, 9, 9));
    EXPECT_EQ(model.colorRules()[1].color, rgb(1, 2, 3));
    button("btnColorRuleDown")->click();
    EXPECT_EQ(ruleExpressions(), (std::vector<std::string>{"arp", "ip6"}));
    button("btnRemoveColorRule")->click();
    EXPECT_EQ(ruleExpressions(), std::vector<std::string>{"arp"});
    button("btnRemoveColorRule")->click();
    EXPECT_TRUE(model.colorRules().empty());
    EXPECT_EQ(listed(), QStringList{});
    EXPECT_FALSE(button("btnRemoveColorRule")->isEnabled());
}

TEST_F(FiltersWindowTest, ScriptedRulesTakeTheColourAfterTheLastColon) {
    EXPECT_FALSE(window.setScripted("txtDisplayFilter", "arp"));  // not a setting of its own
    EXPECT_EQ(window.setScripted("colorRule", "host fe80::1:00ff80"), QString());
    ASSERT_EQ(model.colorRules().size(), 1u);
    EXPECT_EQ(model.colorRules()[0].matcher->expression(), "host fe80::1");
    EXPECT_EQ(model.colorRules()[0].color, rgb(0, 255, 128));
    EXPECT_EQ(listed(), QStringList{"host fe80::1"});
    for (const char* bad : {"arp", "arp:12345", "arp:GG0000", ":FF0000", "arp:#FF0000"})
        EXPECT_TRUE(window.setScripted("colorRule", bad)->contains("EXPRESSION:RRGGBB")) << bad;
    const QString refused = *window.setScripted("colorRule", "tcp port:FF0000");
    EXPECT_TRUE(refused.startsWith("frmEncodings.colorRule \"tcp port\": "))
        << refused.toStdString();
    EXPECT_EQ(model.colorRules().size(), 1u);
}

TEST(FiltersWindow, GrowsBelowItsSixRowsWithoutOverlap) {
    FilterModel model;
    ScriptedDialogs dialogs;
    FiltersWindow w(model, dialogs);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    const QRect rows = w.findChild<QWidget*>("picUnassignedTransport")->geometry();
    QList<QWidget*> below;
    for (QWidget* c : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (c->geometry().top() > rows.bottom()) below << c;
    EXPECT_GE(below.size(), 9);  // two captions, two fields, the list, five buttons
    for (QWidget* a : below) {
        EXPECT_TRUE(w.rect().contains(a->geometry())) << a->objectName().toStdString();
        for (QWidget* b : below) {
            if (a == b) continue;
            EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " " << b->objectName().toStdString();
        }
    }
}
