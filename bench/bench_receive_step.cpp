// The CPU cost of one receive step with nothing waiting: the step runs every 5 ms for the whole
// life of the program, so its idle cost is what the program costs an idle machine.
#include <benchmark/benchmark.h>

#include "platform/memory_serial_pair.h"
#include "platform/pty_pair.h"
#include "platform/virtual_runtime.h"
#include "protocol/control_mirror.h"
#include "protocol/store_flags.h"
#include "serial/serial_port.h"
#include "serial/sio_recv_thread.h"

namespace kestrel {
namespace {

void BM_IdleReceiveStepMemoryPair(benchmark::State& state) {
    VirtualRuntime rt;
    SetRuntime(&rt);
    MemorySerialPair pair;
    auto far = pair.Open(MemorySerialPair::Side::B);
    TheSerialPort().Initialise();
    TheSerialPort().SetDeviceFactory(pair.Factory(MemorySerialPair::Side::A));
    TheSerialPort().Open(GetMirror(Mirror::AI) != 0);
    StoreReady = 1;
    Sio_Recv_Thread recv;
    for (auto _ : state) {
        recv.Step();
    }
    TheSerialPort().Close();
    TheSerialPort().SetDeviceFactory(nullptr);
    far.reset();
    SetRuntime(nullptr);
}
BENCHMARK(BM_IdleReceiveStepMemoryPair);

void BM_IdleReceiveStepPseudoTerminal(benchmark::State& state) {
    auto pty = PtyPair::Create();
    if (!pty) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    TheSerialPort().Initialise();
    TheSerialPort().SetDeviceOverride(pty->Path());
    TheSerialPort().Open(GetMirror(Mirror::AI) != 0);
    StoreReady = 1;
    Sio_Recv_Thread recv;
    for (auto _ : state) {
        recv.Step();
    }
    TheSerialPort().Close();
    TheSerialPort().SetDeviceOverride("");
}
BENCHMARK(BM_IdleReceiveStepPseudoTerminal);

}  // namespace
}  // namespace kestrel

BENCHMARK_MAIN();
