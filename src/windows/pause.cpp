#include "windows/pause.h"

#include <chrono>
#include <thread>

namespace morvik {
namespace {

void Sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

PauseFunction& CurrentPause() {
    static PauseFunction pause = Sleep;
    return pause;
}

}  // namespace

void Pause(int milliseconds) {
    CurrentPause()(milliseconds);
}

PauseFunction SetPauseFunction(PauseFunction pause) {
    PauseFunction previous = CurrentPause();
    CurrentPause() = pause ? std::move(pause) : PauseFunction(Sleep);
    return previous;
}

}  // namespace morvik
