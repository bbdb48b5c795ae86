#pragma once

#include "platform/DeviceRoot.h"
#include "platform/Sound.h"
#include "platform/Wave.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <list>
#include <memory>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace platform::device {

// Plays wave files through the PulseAudio server (also PipeWire's), without waiting for them.
// Each file is decoded once (again when it changes on disk); each play gets a stream of its own
// that is closed once the server has played it to the end, so plays that overlap are mixed and
// none cuts another short. The server is talked to from a thread of its own, so a play never
// waits for it. Without a server a play is dropped; the next play after the server has gone away
// connects again, so sounds resume once it is back. A file that is missing or cannot be played
// is reported once on the standard error.
class PulseSound final : public Sound {
public:
    explicit PulseSound(const DeviceRoot& root);
    PulseSound(const DeviceRoot& root, WaveCache::Report report);
    ~PulseSound() override;
    PulseSound(const PulseSound&) = delete;
    PulseSound& operator=(const PulseSound&) = delete;

    void Play(std::string_view devicePath) override;

    // The streams not yet closed: those sounding and those waiting for the server.
    int OpenStreams() const { return m_open.load(); }

private:
    struct Stream;
    struct Pending {
        std::shared_ptr<const WaveSound> sound;
        std::chrono::steady_clock::time_point asked;
    };

    void Connect();
    // Closes every stream and lets go of the server connection.
    void DropContext();
    void Start(std::shared_ptr<const WaveSound> sound);
    void Close(Stream* stream);
    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* handle, void* stream);
    static void OnWritable(pa_stream* handle, std::size_t bytes, void* stream);
    static void OnDrained(pa_stream* handle, int success, void* stream);

    WaveCache m_waves;
    pa_threaded_mainloop* m_loop = nullptr;
    // Below: touched only with the loop locked.
    pa_context* m_context = nullptr;
    std::list<std::unique_ptr<Stream>> m_streams;
    std::deque<Pending> m_pending; // asked for while connecting
    std::atomic<int> m_open{0};
};

} // namespace platform::device
