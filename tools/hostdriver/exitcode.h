#ifndef EXITCODE_H
#define EXITCODE_H

// What updatetheme-sim's exit status says; the numbers are documented in --help.
enum class ExitCode {
    Success = 0,
    ScenarioFailed = 1, // a step or an expectation of the scenario did not hold
    Usage = 2, // the command line, the scenario file or the settings are unusable
    PluginMissing = 3, // no file at the plugin path
    NotAPlugin = 4, // the file is no Qt plugin
    OtherInterface = 5, // a Qt plugin of another interface
    NoView = 6, // the plugin handed out no update view
    SandboxFailed = 7, // the sandbox device root could not be prepared
};

inline int exitStatus(ExitCode code)
{
    return static_cast<int>(code);
}

#endif // EXITCODE_H
