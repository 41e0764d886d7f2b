#include "demo/DemoMac.h"

namespace tidra::DemoMac {

std::vector<StartupItem> startupItems(const std::string& home) {
    using Scope = StartupItem::Scope;
    const std::string agents = home + "/Library/LaunchAgents/";
    return {
        // The one leftover: its app is gone but the agent still starts.
        {"com.acme.cli.updater", Scope::user, "/Applications/Acme CLI.app/Contents/MacOS/updater", true, true,
         agents + "com.acme.cli.updater.plist"},
        {"homebrew.mxcl.postgresql@16", Scope::user, "/opt/homebrew/opt/postgresql@16/bin/postgres", true, false,
         agents + "homebrew.mxcl.postgresql@16.plist"},
        {"com.google.keystone.agent", Scope::user,
         home + "/Library/Google/GoogleSoftwareUpdate/GoogleSoftwareUpdate.bundle/Contents/Resources/"
                "GoogleSoftwareUpdateAgent.app/Contents/MacOS/GoogleSoftwareUpdateAgent",
         true, false, agents + "com.google.keystone.agent.plist"},
        {"com.microsoft.update.agent", Scope::allUsers,
         "/Library/Application Support/Microsoft/MAU2.0/Microsoft AutoUpdate.app/Contents/MacOS/"
         "Microsoft Update Assistant.app/Contents/MacOS/Microsoft Update Assistant",
         true, false, "/Library/LaunchAgents/com.microsoft.update.agent.plist"},
        {"com.docker.vmnetd", Scope::system, "/Library/PrivilegedHelperTools/com.docker.vmnetd", true, false,
         "/Library/LaunchDaemons/com.docker.vmnetd.plist"},
        {"us.zoom.ZoomDaemon", Scope::system, "/Library/PrivilegedHelperTools/us.zoom.ZoomDaemon", false, false,
         "/Library/LaunchDaemons/us.zoom.ZoomDaemon.plist"},
    };
}

SlownessInputs slownessInputs(const std::string& home, const Pids& gone, std::int64_t safeBytes, std::int64_t freed,
                              Date now) {
    std::vector<DeveloperTool> tools = developerTools(home, gone, now);
    SlownessInputs inputs;
    inputs.memory = memory(memory(gone, home));
    inputs.disk = disk(freed);
    inputs.groups = sample(home, gone, now).groups;
    inputs.idleTimes = idleTimes(tools);
    inputs.developerTools = std::move(tools);
    // The same three busy system processes on every check.
    inputs.systemCPU = {{"mds_stores", 46.0}, {"mdworker_shared", 14.0}, {"WindowServer", 12.0}};
    inputs.timeMachineRunning = false;
    inputs.heat = SlownessInputs::Heat::normal;
    inputs.lowPowerMode = false;
    inputs.safeBytes = safeBytes;
    return inputs;
}

} // namespace tidra::DemoMac
