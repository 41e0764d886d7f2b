#include "support/TestMain.h"
#include "platform/PortalAppearance.h"

#include "support/FakePortal.h"
#include "support/PrivateSessionBus.h"

#include <QDBusVariant>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

using namespace tidra;
using tidra::test::FakePortal;
using tidra::test::PrivateSessionBus;
using Scheme = Theme::Scheme;

Q_DECLARE_METATYPE(tidra::Theme::Scheme)

// The desktop's light or dark comes from the XDG desktop portal and is followed while Tidra
// runs; the command line's choice wins over it.
class PortalAppearanceTest : public QObject {
  Q_OBJECT

  std::unique_ptr<PrivateSessionBus> bus;
  std::unique_ptr<FakePortal> portal;
  std::unique_ptr<PortalAppearance> appearance;
  std::vector<Scheme> applied;

  void startPortal(const QVariant& colorScheme) {
    portal = std::make_unique<FakePortal>(bus->connect(QStringLiteral("portal")), colorScheme);
    QVERIFY(portal->isRegistered());
  }
  void follow(std::optional<Scheme> chosen = std::nullopt) {
    appearance->follow(chosen, [this](Scheme scheme) { applied.push_back(scheme); });
  }

private slots:
  void init() {
    bus = std::make_unique<PrivateSessionBus>();
    QVERIFY2(bus->isRunning(), qPrintable(bus->error()));
    appearance = std::make_unique<PortalAppearance>(bus->connect(QStringLiteral("tidra")));
    applied.clear();
  }
  void cleanup() {
    appearance.reset();
    portal.reset();
    bus.reset();
  }

  void theStartingAppearanceIsThePortals_data() {
    QTest::addColumn<QVariant>("colorScheme");
    QTest::addColumn<Scheme>("expected");
    QTest::newRow("prefer dark") << QVariant(1u) << Scheme::dark;
    QTest::newRow("prefer light") << QVariant(2u) << Scheme::light;
    QTest::newRow("no preference") << QVariant(0u) << Scheme::light;
    QTest::newRow("a value from a later version") << QVariant(7u) << Scheme::light;
    QTest::newRow("not a number") << QVariant(QStringLiteral("dark")) << Scheme::light;
  }
  void theStartingAppearanceIsThePortals() {
    QFETCH(QVariant, colorScheme);
    QFETCH(Scheme, expected);
    startPortal(colorScheme);
    follow();
    QCOMPARE(applied, std::vector{expected});
    QCOMPARE(portal->reads(), 1);
  }

  void withoutAPortalItIsLight() {
    follow();
    QCOMPARE(applied, std::vector{Scheme::light});
  }

  void aChangeWhileRunningIsFollowed_andOtherSettingsAreNot() {
    startPortal(0u);
    follow();
    portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 1u);
    QTRY_COMPARE(applied, (std::vector{Scheme::light, Scheme::dark}));
    portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("accent-color"), 1u);
    portal->change(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("color-scheme"), 1u);
    portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 2u);
    QTRY_COMPARE(applied, (std::vector{Scheme::light, Scheme::dark, Scheme::light}));
  }

  // The windows on screen switch with the desktop, as Tidra applies each change.
  void aWindowOnScreenSwitchesWithTheDesktop() {
    startPortal(2u);
    QWidget window;
    window.show();
    appearance->follow(std::nullopt, [](Scheme scheme) { Theme::apply(scheme); });
    QCOMPARE(Theme::schemeOf(&window), Scheme::light);
    portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 1u);
    QTRY_COMPARE(Theme::schemeOf(&window), Scheme::dark);
    portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 0u);
    QTRY_COMPARE(Theme::schemeOf(&window), Scheme::light);
  }

  void theCommandLinesChoiceWins() {
    startPortal(1u);
    follow(Scheme::light);
    QCOMPARE(portal->reads(), 0);
    portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 1u);
    portal->change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 2u);
    // A round trip through the portal: both changes have arrived by the time it answers.
    QCOMPARE(appearance->read(), Scheme::light);
    QCoreApplication::processEvents();
    QCOMPARE(applied, std::vector{Scheme::light});
  }
};

TIDRA_TEST_MAIN(PortalAppearanceTest)
#include "PortalAppearanceTest.moc"
