// A stand-in program for the launch tests: writes the command line it received and its working
// directory, one line each, to a file of its own named OV_ECHO_OUT + "." + its process id, so
// that copies started at the same moment never share a file.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char out[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("OV_ECHO_OUT", out, sizeof(out)))
        return 1;
    char cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof(cwd), cwd);
    const std::string path = std::string(out) + "." + std::to_string(::GetCurrentProcessId());
    const std::string part = path + ".part";
    FILE* file = std::fopen(part.c_str(), "wb");
    if (!file)
        return 2;
    std::fprintf(file, "%s\n%s\n", ::GetCommandLineA(), cwd);
    std::fclose(file);
    // Appears whole or not at all.
    return ::MoveFileA(part.c_str(), path.c_str()) ? 0 : 3;
}
