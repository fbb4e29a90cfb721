#include "window/adapters/qtcolordialog.h"

#include "modalwatch.h"

#include <QColorDialog>
#include <QPointer>
#include <QTest>

#include <array>
#include <optional>

using prismel::QtColorDialog;
using prismel::Rgb;
using prismel::test::whenModal;

namespace {

// What the test saw of the dialog while it was open.
struct Opening {
    bool seen = false;
    bool modal = false;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* parent = nullptr;
    bool ownWidgetDialog = false;
    bool customColorsBlack = false;
    QColor initialColor;
};

Opening look(QColorDialog& dialog)
{
    Opening seen;
    seen.seen = true;
    seen.modal = dialog.isModal();
    seen.modality = dialog.windowModality();
    seen.parent = dialog.parentWidget();
    seen.ownWidgetDialog = dialog.testOption(QColorDialog::DontUseNativeDialog);
    seen.customColorsBlack = true;
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        if (QColorDialog::customColor(i) != QColor(Qt::black)) {
            seen.customColorsBlack = false;
        }
    }
    seen.initialColor = dialog.currentColor();
    return seen;
}

// Leaves custom colours behind as a previous opening would have.
void dirtyCustomColors()
{
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, QColor(10 * i, 255, 128));
    }
}

QColor dialogDefaultColor()
{
    const QColorDialog fresh;
    return fresh.currentColor();
}

} // namespace

class QtColorDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_owner = std::make_unique<QWidget>();
        m_owner->resize(539, 418);
        m_owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_owner.get()));
    }
    void cleanup() { m_owner.reset(); }

    void acceptReturnsChannels_data()
    {
        QTest::addColumn<QColor>("picked");
        QTest::addColumn<Rgb>("channels");
        QTest::newRow("pure blue") << QColor(0, 0, 255) << Rgb{0, 0, 255};
        QTest::newRow("pure green") << QColor(0, 255, 0) << Rgb{0, 255, 0};
        QTest::newRow("pure red") << QColor(255, 0, 0) << Rgb{255, 0, 0};
        QTest::newRow("white") << QColor(255, 255, 255) << Rgb{255, 255, 255};
        QTest::newRow("black") << QColor(0, 0, 0) << Rgb{0, 0, 0};
        QTest::newRow("three different bytes keep their order")
            << QColor(0x12, 0x34, 0x56) << Rgb{0x12, 0x34, 0x56};
        QTest::newRow("a colour given as hue, saturation and value")
            << QColor::fromHsv(120, 255, 255) << Rgb{0, 255, 0};
    }
    void acceptReturnsChannels()
    {
        QFETCH(QColor, picked);
        QFETCH(Rgb, channels);
        dirtyCustomColors();
        QtColorDialog dialog(m_owner.get());
        Opening seen;
        whenModal<QColorDialog>([&](QColorDialog& shown) {
            seen = look(shown);
            shown.setCurrentColor(picked);
            shown.accept();
        });

        const std::optional<Rgb> result = dialog.chooseColor();

        QVERIFY(seen.seen);
        QVERIFY(seen.customColorsBlack);
        QVERIFY(seen.modal);
        QCOMPARE(seen.modality, Qt::WindowModal);
        QCOMPARE(seen.parent, m_owner.get());
        QVERIFY(seen.ownWidgetDialog);
        QCOMPARE(seen.initialColor, dialogDefaultColor());
        QVERIFY(result.has_value());
        QCOMPARE(*result, channels);
    }

    void cancelReturnsNothing_data()
    {
        QTest::addColumn<bool>("moveSelection");
        QTest::newRow("cancel at once") << false;
        QTest::newRow("cancel after choosing blue") << true;
    }
    void cancelReturnsNothing()
    {
        QFETCH(bool, moveSelection);
        QtColorDialog dialog(m_owner.get());
        bool seen = false;
        whenModal<QColorDialog>([&](QColorDialog& shown) {
            seen = true;
            if (moveSelection) {
                shown.setCurrentColor(Qt::blue);
            }
            shown.reject();
        });

        QCOMPARE(dialog.chooseColor(), std::optional<Rgb>{});
        QVERIFY(seen);
    }

    void acceptWithoutMovingTakesDialogDefault()
    {
        QtColorDialog dialog(m_owner.get());
        whenModal<QColorDialog>([](QColorDialog& shown) { shown.accept(); });
        const QColor expected = dialogDefaultColor();
        const Rgb channels{static_cast<std::int16_t>(expected.red()),
                           static_cast<std::int16_t>(expected.green()),
                           static_cast<std::int16_t>(expected.blue())};
        QCOMPARE(dialog.chooseColor(), std::optional<Rgb>{channels});
    }

    void customColorsAreBlackAtEveryOpening()
    {
        QtColorDialog dialog(m_owner.get());
        std::array<bool, 2> black{};
        for (bool& openingBlack : black) {
            whenModal<QColorDialog>([&](QColorDialog& shown) {
                openingBlack = look(shown).customColorsBlack;
                // What a user defining a custom colour leaves behind for the whole process.
                QColorDialog::setCustomColor(3, Qt::red);
                shown.accept();
            });
            QVERIFY(dialog.chooseColor().has_value());
        }
        QVERIFY(black[0]);
        QVERIFY(black[1]);
    }

    void everyOpeningBuildsAFreshDialogAndDeletesIt()
    {
        std::array<QPointer<QColorDialog>, 2> made;
        int count = 0;
        QtColorDialog dialog(m_owner.get(), [&](QWidget* owner) {
            QColorDialog* fresh = QtColorDialog::makeDialog(owner);
            made.at(static_cast<std::size_t>(count++)) = fresh;
            return fresh;
        });
        for (int i = 0; i < 2; ++i) {
            whenModal<QColorDialog>([](QColorDialog& shown) { shown.reject(); });
            QVERIFY(!dialog.chooseColor().has_value());
        }
        QCOMPARE(count, 2);
        QVERIFY(made[0].isNull());
        QVERIFY(made[1].isNull());
    }

    void ownerClosedWhileOpenGivesNothing()
    {
        QtColorDialog dialog(m_owner.get());
        whenModal<QColorDialog>([&](QColorDialog&) { m_owner.reset(); });
        QCOMPARE(dialog.chooseColor(), std::optional<Rgb>{});
    }

    void ownerGivenAfterConstructionIsTheParent()
    {
        // The program makes the adapter before the window it serves.
        QtColorDialog dialog;
        dialog.setOwner(m_owner.get());
        QWidget* parent = nullptr;
        whenModal<QColorDialog>([&](QColorDialog& shown) {
            parent = shown.parentWidget();
            shown.reject();
        });
        QVERIFY(!dialog.chooseColor().has_value());
        QCOMPARE(parent, m_owner.get());
    }

private:
    std::unique_ptr<QWidget> m_owner;
};

QTEST_MAIN(QtColorDialogTest)
#include "qtcolordialog_test.moc"
