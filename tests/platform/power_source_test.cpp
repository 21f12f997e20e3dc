#include "platform/power_source.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

struct FakeSupply {
    const char* name;
    const char* type;  // nullptr: no such file
    const char* online;
    const char* status;
};

struct PowerCase {
    const char* what;
    FakeSupply supplies[3];  // up to a name of nullptr
    bool battery;
};

static void writeFile(const std::string& path, const char* text) {
    if (!text) return;
    FILE* file = fopen(path.c_str(), "w");
    ASSERT_TRUE(file);
    fprintf(file, "%s\n", text);
    fclose(file);
}

TEST(PowerSource, BatteryOnlyWhenABatteryDischargesAndNoOtherSupplyIsOnline) {
    const PowerCase cases[] = {
        {"no supplies (a desktop)", {{}}, false},
        {"mains online, battery discharging",
         {{"AC", "Mains", "1", nullptr}, {"BAT0", "Battery", nullptr, "Discharging"}},
         false},
        {"mains offline, battery discharging",
         {{"AC", "Mains", "0", nullptr}, {"BAT0", "Battery", nullptr, "Discharging"}},
         true},
        {"a battery alone, discharging", {{"BAT1", "Battery", nullptr, "Discharging"}}, true},
        {"mains offline, battery charging",
         {{"AC", "Mains", "0", nullptr}, {"BAT0", "Battery", nullptr, "Charging"}},
         false},
        {"mains offline, battery full",
         {{"ADP1", "Mains", "0", nullptr}, {"BAT0", "Battery", nullptr, "Full"}},
         false},
        {"USB-C online, battery discharging",
         {{"ucsi", "USB", "1", nullptr}, {"BAT0", "Battery", nullptr, "Discharging"}},
         false},
        {"a supply without a type is skipped",
         {{"odd", nullptr, "1", nullptr}, {"BAT0", "Battery", nullptr, "Discharging"}},
         true},
        {"one of two batteries discharging",
         {{"BAT0", "Battery", nullptr, "Full"}, {"BAT1", "Battery", nullptr, "Discharging"}},
         true},
        {"a battery that cannot tell its state", {{"BAT0", "Battery", nullptr, nullptr}}, false},
    };
    for (const PowerCase& c : cases) {
        SCOPED_TRACE(c.what);
        char base[] = "/tmp/lumivane-power-XXXXXX";
        ASSERT_TRUE(mkdtemp(base));
        for (const FakeSupply& supply : c.supplies) {
            if (!supply.name) break;
            std::string folder = std::string(base) + "/" + supply.name;
            ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
            writeFile(folder + "/type", supply.type);
            writeFile(folder + "/online", supply.online);
            writeFile(folder + "/status", supply.status);
        }
        EXPECT_EQ(c.battery, batteryInSupplyFolder(base));
        EXPECT_EQ(0, system(("rm -rf " + std::string(base)).c_str()));
    }
    EXPECT_FALSE(batteryInSupplyFolder("/nonexistent/power_supply"));  // unreadable: mains
}
