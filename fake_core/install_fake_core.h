// Makes the fake core the core library the module binds to. Natively it is
// registered as an in-process library; on Windows DBProCore.dll lies beside
// the program and the module loads it itself, so there is nothing to do.
// Every program that runs the module against the fake core (the emulator,
// the unit tests, the benchmarks and the fuzzers) installs it through here.
#pragma once

void InstallFakeCore();
