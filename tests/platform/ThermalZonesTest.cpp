#include "platform/ThermalZones.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tidra::sys {
namespace {

using test::TempHome;
using Level = ThermalZones::Level;
using Trip = ThermalZones::Trip;

TEST(ThermalZonesTest, ZoneLevelAgainstTripPoints) {
    const std::vector<Trip> laptop = {{"active", 50000}, {"passive", 90000}, {"hot", 100000}, {"critical", 105000}};
    struct Row {
        long long temperature;
        std::vector<Trip> trips;
        Level level;
    } rows[] = {
        {45000, laptop, Level::normal},
        {79999, laptop, Level::normal},
        {80000, laptop, Level::warm},
        {89999, laptop, Level::warm},
        {90000, laptop, Level::hot},
        {100000, laptop, Level::hot},
        {105000, laptop, Level::critical},
        {95000, {{"hot", 95000}}, Level::hot},
        {94000, {{"hot", 95000}}, Level::normal},
        {60000, {{"active", 55000}}, Level::normal},
        {60000, {}, Level::normal},
        // Unused trips read 0 or below; they must not make every temperature critical.
        {40000, {{"critical", 0}, {"passive", -273200}}, Level::normal},
        {-5000, laptop, Level::normal},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ThermalZones::zoneLevel(row.temperature, row.trips), row.level) << row.temperature;
}

TEST(ThermalZonesTest, TheHottestZoneCounts) {
    TempHome home;
    const auto zone = [&](const std::string& name, const std::string& temp, std::vector<Trip> trips) {
        if (!temp.empty()) home.text("thermal/" + name + "/temp", temp);
        else home.dir("thermal/" + name);
        for (std::size_t i = 0; i < trips.size(); ++i) {
            const std::string prefix = "thermal/" + name + "/trip_point_" + std::to_string(i) + "_";
            home.text(prefix + "type", trips[i].type + "\n");
            home.text(prefix + "temp", std::to_string(trips[i].milliCelsius) + "\n");
        }
    };
    const std::string root = home.path("thermal");
    EXPECT_EQ(ThermalZones::level(home.path("none")), Level::normal) << "no thermal folder";
    zone("thermal_zone0", "45000\n", {{"critical", 105000}});
    zone("cooling_device0", "120000\n", {{"critical", 105000}});
    EXPECT_EQ(ThermalZones::level(root), Level::normal) << "only thermal zones count";
    zone("thermal_zone1", "85000\n", {{"active", 50000}, {"passive", 90000}});
    EXPECT_EQ(ThermalZones::level(root), Level::warm);
    zone("thermal_zone2", "", {{"critical", 1}});
    zone("thermal_zone3", "garbage\n", {{"critical", 1}});
    EXPECT_EQ(ThermalZones::level(root), Level::warm) << "zones without a temperature are normal";
    zone("thermal_zone4", "106000\n", {{"passive", 90000}, {"critical", 105000}});
    EXPECT_EQ(ThermalZones::level(root), Level::critical);
}

TEST(ThermalZonesTest, ParsesMilliCelsius) {
    EXPECT_EQ(ThermalZones::parseMilliCelsius("45000\n"), 45000);
    EXPECT_EQ(ThermalZones::parseMilliCelsius("-273200"), -273200);
    EXPECT_EQ(ThermalZones::parseMilliCelsius(""), std::nullopt);
    EXPECT_EQ(ThermalZones::parseMilliCelsius("45.5\n"), std::nullopt);
    EXPECT_EQ(ThermalZones::parseMilliCelsius("hot"), std::nullopt);
}

} // namespace
} // namespace tidra::sys
