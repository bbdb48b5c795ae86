#include "platform/device/PulseSound.h"

#include <pulse/pulseaudio.h>

#include <iostream>

namespace platform::device {

namespace {

// Beyond this many sounds at once (a long file played at a short interval) the oldest gives way.
constexpr std::size_t kMostStreams = 8;
// A play asked for while connecting is still made when the connection is up within this time.
constexpr auto kPendingFor = std::chrono::seconds(2);

pa_sample_format_t SampleFormat(WaveSound::Sample sample) {
    switch (sample) {
    case WaveSound::Sample::UInt8:
        return PA_SAMPLE_U8;
    case WaveSound::Sample::Int16:
        return PA_SAMPLE_S16LE;
    case WaveSound::Sample::Int32:
        return PA_SAMPLE_S32LE;
    case WaveSound::Sample::Float:
        return PA_SAMPLE_FLOAT32LE;
    }
    return PA_SAMPLE_INVALID;
}

// Holds the server thread's lock for a scope.
class Locked {
public:
    explicit Locked(pa_threaded_mainloop* loop) : m_loop(loop) { pa_threaded_mainloop_lock(m_loop); }
    ~Locked() { pa_threaded_mainloop_unlock(m_loop); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

} // namespace

// One play: a stream fed from the decoded samples, which it shares with the cache.
struct PulseSound::Stream {
    PulseSound* owner = nullptr;
    pa_stream* handle = nullptr;
    std::shared_ptr<const WaveSound> sound;
    std::size_t written = 0;
    pa_operation* drain = nullptr;
};

PulseSound::PulseSound(const DeviceRoot& root)
    : PulseSound(root, [](const std::string& message) { std::cerr << "ambulo: " << message << '\n'; }) {}

PulseSound::PulseSound(const DeviceRoot& root, WaveCache::Report report) : m_waves(root, std::move(report)) {
    m_loop = pa_threaded_mainloop_new();
    if (m_loop != nullptr && pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }
    if (m_loop != nullptr) {
        const Locked locked(m_loop);
        Connect(); // early, so that the first sound finds the server ready
    }
}

PulseSound::~PulseSound() {
    if (m_loop == nullptr) {
        return;
    }
    pa_threaded_mainloop_stop(m_loop);
    DropContext();
    pa_threaded_mainloop_free(m_loop);
}

void PulseSound::Play(std::string_view devicePath) {
    auto sound = m_waves.Get(devicePath);
    if (!sound || m_loop == nullptr) {
        return;
    }
    const Locked locked(m_loop);
    const pa_context_state_t state =
        m_context != nullptr ? pa_context_get_state(m_context) : PA_CONTEXT_FAILED;
    if (state == PA_CONTEXT_READY) {
        Start(std::move(sound));
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    while (!m_pending.empty() &&
           (now - m_pending.front().asked > kPendingFor || m_pending.size() >= kMostStreams)) {
        m_pending.pop_front();
    }
    m_pending.push_back({std::move(sound), now});
    if (!PA_CONTEXT_IS_GOOD(state)) {
        Connect(); // the server went away, or was never there: try it again now
    }
}

void PulseSound::DropContext() {
    while (!m_streams.empty()) {
        Close(m_streams.front().get());
    }
    if (m_context != nullptr) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
}

void PulseSound::Connect() {
    DropContext();
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Ambulo");
    if (m_context == nullptr) {
        return;
    }
    pa_context_set_state_callback(m_context, OnContextState, this);
    // Starting a server of our own would hold up the screen; without one the play is dropped.
    pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
}

void PulseSound::OnContextState(pa_context* context, void* self) {
    auto* sound = static_cast<PulseSound*>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        const auto now = std::chrono::steady_clock::now();
        for (auto& pending : sound->m_pending) {
            if (now - pending.asked <= kPendingFor) {
                sound->Start(std::move(pending.sound));
            }
        }
        sound->m_pending.clear();
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        sound->m_pending.clear();
    }
}

void PulseSound::Start(std::shared_ptr<const WaveSound> sound) {
    if (m_streams.size() >= kMostStreams) {
        Close(m_streams.front().get());
    }
    const pa_sample_spec format{SampleFormat(sound->sample), static_cast<std::uint32_t>(sound->sampleRate),
                                static_cast<std::uint8_t>(sound->channels)};
    pa_channel_map channels;
    pa_channel_map_init_extend(&channels, format.channels, PA_CHANNEL_MAP_DEFAULT);
    pa_stream* handle = pa_stream_new(m_context, "Ambulo sound", &format, &channels);
    if (handle == nullptr) {
        return;
    }
    auto stream = std::make_unique<Stream>(Stream{this, handle, std::move(sound)});
    pa_stream_set_state_callback(handle, OnStreamState, stream.get());
    pa_stream_set_write_callback(handle, OnWritable, stream.get());
    if (pa_stream_connect_playback(handle, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0) {
        pa_stream_unref(handle);
        return;
    }
    m_streams.push_back(std::move(stream));
    ++m_open;
}

void PulseSound::OnWritable(pa_stream* handle, std::size_t bytes, void* stream) {
    auto* s = static_cast<Stream*>(stream);
    const std::string& pcm = s->sound->pcm;
    const std::size_t part = std::min(bytes, pcm.size() - s->written);
    if (part > 0 &&
        pa_stream_write(handle, pcm.data() + s->written, part, nullptr, 0, PA_SEEK_RELATIVE) == 0) {
        s->written += part;
    }
    // Once the server holds the whole sound, draining makes it play a sound shorter than its
    // buffer too, and says when the last sample has been heard.
    if (s->written == pcm.size() && s->drain == nullptr) {
        pa_stream_set_write_callback(handle, nullptr, nullptr);
        s->drain = pa_stream_drain(handle, OnDrained, s);
    }
}

void PulseSound::OnDrained(pa_stream* /*handle*/, int /*success*/, void* stream) {
    auto* s = static_cast<Stream*>(stream);
    pa_operation_unref(s->drain);
    s->drain = nullptr;
    s->owner->Close(s);
}

void PulseSound::OnStreamState(pa_stream* handle, void* stream) {
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(handle))) {
        auto* s = static_cast<Stream*>(stream);
        s->owner->Close(s);
    }
}

void PulseSound::Close(Stream* stream) {
    if (stream->drain != nullptr) {
        pa_operation_cancel(stream->drain);
        pa_operation_unref(stream->drain);
    }
    pa_stream_set_state_callback(stream->handle, nullptr, nullptr);
    pa_stream_set_write_callback(stream->handle, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream->handle))) {
        pa_stream_disconnect(stream->handle);
    }
    pa_stream_unref(stream->handle);
    m_streams.remove_if([stream](const std::unique_ptr<Stream>& s) { return s.get() == stream; });
    --m_open;
}

} // namespace platform::device
