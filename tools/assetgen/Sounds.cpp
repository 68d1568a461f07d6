// Sounds: synthesises every effect from oscillators, filtered noise and envelopes, then normalises it
// below full scale and writes it with libsndfile. The two fire loops and the heartbeat are built to
// repeat seamlessly: the heartbeat starts and ends in silence, the fires are made on a circular
// buffer (filters run round it twice, crackles wrap around, the flutter has whole cycles per loop).
#include "Sounds.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sndfile.h>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;
using Wave = std::vector<double>;

int Samples(double Seconds) { return static_cast<int>(Seconds * SoundRate + 0.5); }

double Time(int I) { return I / double(SoundRate); }

// A one-pole low-pass filter; Cutoff in Hz.
class clsLowPass {
  public:
    explicit clsLowPass(double Cutoff) { SetCutoff(Cutoff); }
    void   SetCutoff(double Cutoff) { A = 1.0 - std::exp(-2.0 * Pi * Cutoff / SoundRate); }
    double Step(double X) { return Y += A * (X - Y); }

  private:
    double A = 0.0, Y = 0.0;
};

// A sine whose frequency glides exponentially from F0 to F1 over Glide seconds, then stays at F1.
// Returns the phase in radians at time T.
double GlidePhase(double T, double F0, double F1, double Glide) {
    const double K = std::log(F1 / F0) / Glide;
    if (T < Glide)
        return 2.0 * Pi * F0 * (std::exp(K * T) - 1.0) / K;
    return 2.0 * Pi * (F0 * (std::exp(K * Glide) - 1.0) / K + F1 * (T - Glide));
}

// Attack of Rise seconds (raised cosine) followed by an exponential decay with time constant Decay.
double Envelope(double T, double Rise, double Decay) {
    if (T < 0.0)
        return 0.0;
    if (T < Rise)
        return 0.5 - 0.5 * std::cos(Pi * T / Rise);
    return std::exp(-(T - Rise) / Decay);
}

// Fades the last Seconds of a one-shot sound to exact silence, so it never ends on a click.
void FadeTail(Wave& W, double Seconds) {
    const int N = std::min<int>(Samples(Seconds), W.size());
    for (int I = 0; I < N; ++I)
        W[W.size() - 1 - I] *= 0.5 - 0.5 * std::cos(Pi * I / N);
}

// Puts a few milliseconds of silence before a one-shot sound: the MPEG coder smears a sharp attack
// backwards in time, and the lead-in keeps that smear from starting the file with a click.
Wave LeadIn(Wave W) {
    W.insert(W.begin(), Samples(0.006), 0.0);
    return W;
}

void Normalise(Wave& W, double Peak) {
    double Max = 0.0;
    for (double S : W)
        Max = std::max(Max, std::fabs(S));
    if (Max > 0.0)
        for (double& S : W)
            S *= Peak / Max;
}

Wave Shot() {
    Wave W(Samples(0.45));
    clsRandom  Random(9001);
    clsLowPass Crack(3500), Body(600);
    for (size_t I = 0; I < W.size(); ++I) {
        const double T = Time(I), Noise = Random.Real() * 2.0 - 1.0;
        const double Thump = std::sin(GlidePhase(T, 190.0, 50.0, 0.18)) * Envelope(T, 0.002, 0.09);
        const double Snap = Crack.Step(Noise) * Envelope(T, 0.001, 0.022) * 2.2;
        const double Tail = Body.Step(Noise) * Envelope(T, 0.004, 0.12) * 1.6;
        W[I] = Thump + Snap + Tail;
    }
    FadeTail(W, 0.03);
    return W;
}

Wave SmallBlast() {
    Wave W(Samples(0.75));
    clsRandom  Random(9002);
    clsLowPass Sweep(4000), Second(4000);
    for (size_t I = 0; I < W.size(); ++I) {
        const double T = Time(I);
        const double Cut = 300.0 + 3700.0 * std::exp(-T / 0.08);
        Sweep.SetCutoff(Cut);
        Second.SetCutoff(Cut);
        const double Noise = Second.Step(Sweep.Step(Random.Real() * 2.0 - 1.0));
        const double Boom = std::sin(GlidePhase(T, 90.0, 38.0, 0.3)) * Envelope(T, 0.003, 0.18);
        W[I] = Noise * Envelope(T, 0.002, 0.14) * 3.0 + Boom * 0.8;
    }
    FadeTail(W, 0.08);
    return W;
}

Wave BigBlast() {
    Wave W(Samples(3.0));
    clsRandom  Random(9003);
    clsLowPass Rumble(180), Rumble2(180), Crack(2500);
    std::vector<double> Debris(W.size(), 0.0);
    // Falling debris: short resonant ticks scattered over the first second and a half.
    for (int K = 0; K < 60; ++K) {
        const int    At = Samples(0.05 + 1.5 * Random.Real() * Random.Real());
        const double Freq = 800.0 + 2400.0 * Random.Real(), Gain = 0.15 + 0.35 * Random.Real();
        for (int J = 0; J < Samples(0.03) && At + J < static_cast<int>(W.size()); ++J)
            Debris[At + J] += Gain * std::sin(2 * Pi * Freq * Time(J)) * std::exp(-Time(J) / 0.006);
    }
    for (size_t I = 0; I < W.size(); ++I) {
        const double T = Time(I), Noise = Random.Real() * 2.0 - 1.0;
        const double Deep = Rumble2.Step(Rumble.Step(Noise)) * 9.0;
        const double Surge = 0.75 + 0.25 * std::sin(2 * Pi * 2.3 * T) * std::sin(2 * Pi * 0.7 * T + 1.0);
        const double Boom = std::sin(GlidePhase(T, 70.0, 28.0, 0.6)) * Envelope(T, 0.005, 0.45);
        const double Blast = Crack.Step(Noise) * Envelope(T, 0.002, 0.05) * 2.0;
        W[I] = Deep * Surge * Envelope(T, 0.01, 0.75) + Boom + Blast + Debris[I] * Envelope(T, 0.0, 0.6);
    }
    FadeTail(W, 0.4);
    return W;
}

Wave HitWall() {
    Wave W(Samples(0.35));
    clsRandom  Random(9004);
    clsLowPass Dust(1500);
    const double Ring[] = {1240.0, 1873.0, 2930.0, 4105.0};
    for (size_t I = 0; I < W.size(); ++I) {
        const double T = Time(I);
        const double Thud = std::sin(GlidePhase(T, 120.0, 65.0, 0.08)) * Envelope(T, 0.002, 0.06);
        const double Grit = Dust.Step(Random.Real() * 2.0 - 1.0) * Envelope(T, 0.001, 0.02) * 2.5;
        double Clank = 0.0;
        for (int K = 0; K < 4; ++K)
            Clank += std::sin(2 * Pi * Ring[K] * T) * std::exp(-T / (0.07 / (1 + K * 0.5))) / (1 + K);
        W[I] = Thud + Grit + Clank * 0.25 * Envelope(T, 0.001, 1e9);
    }
    FadeTail(W, 0.05);
    return W;
}

Wave Bonus() {
    // A rising arpeggio of bell tones: C, E, G, C.
    Wave W(Samples(1.0));
    const double Notes[] = {1046.5, 1318.5, 1568.0, 2093.0};
    for (size_t I = 0; I < W.size(); ++I) {
        const double T = Time(I);
        double S = 0.0;
        for (int K = 0; K < 4; ++K) {
            const double Local = T - 0.085 * K, F = Notes[K];
            if (Local < 0.0)
                continue;
            const double Tone = std::sin(2 * Pi * F * Local) + 0.3 * std::sin(4 * Pi * F * Local) +
                                0.12 * std::sin(2 * Pi * 2.76 * F * Local) * std::exp(-Local / 0.05);
            S += Tone * Envelope(Local, 0.003, 0.22 + 0.05 * K);
        }
        W[I] = S;
    }
    FadeTail(W, 0.1);
    return W;
}

Wave Alarm() {
    // Two alternating tones, buzzy enough to cut through explosions; each tone fades in and out.
    constexpr double ToneLength = 0.2;
    Wave W(Samples(ToneLength * 8));
    for (size_t I = 0; I < W.size(); ++I) {
        const double T = Time(I);
        const int    Tone = static_cast<int>(T / ToneLength);
        const double Local = T - Tone * ToneLength, F = Tone % 2 == 0 ? 880.0 : 660.0;
        double S = 0.0;
        for (int H = 1; H <= 7; H += 2)
            S += std::sin(2 * Pi * F * H * Local) / H;
        const double Gate = SmoothStep(0.0, 0.006, Local) * SmoothStep(ToneLength, ToneLength - 0.006, Local);
        W[I] = S * Gate;
    }
    return W;
}

Wave Heart() {
    // One beat, "lub" then "dub", in a loop of 0.9 s (about 67 beats a minute). It starts from and
    // returns to silence, so the loop joins without a gap or a click.
    Wave W(Samples(0.9));
    for (size_t I = 0; I < W.size(); ++I) {
        const double T = Time(I);
        const double Lub = T - 0.03, Dub = T - 0.31;
        double S = 0.0;
        if (Lub > 0.0)
            S += (std::sin(GlidePhase(Lub, 68.0, 44.0, 0.12)) + 0.35 * std::sin(2 * GlidePhase(Lub, 68.0, 44.0, 0.12))) *
                 Envelope(Lub, 0.018, 0.055);
        if (Dub > 0.0)
            S += 0.7 * (std::sin(GlidePhase(Dub, 82.0, 56.0, 0.1)) + 0.3 * std::sin(2 * GlidePhase(Dub, 82.0, 56.0, 0.1))) *
                 Envelope(Dub, 0.014, 0.045);
        W[I] = S;
    }
    FadeTail(W, 0.3);
    return W;
}

Wave Button() {
    Wave W(Samples(0.09));
    clsRandom Random(9005);
    for (size_t I = 0; I < W.size(); ++I) {
        const double T = Time(I);
        const double Tick = (Random.Real() * 2.0 - 1.0) * Envelope(T, 0.0005, 0.002);
        const double Tone = std::sin(2 * Pi * 1800.0 * T) * Envelope(T, 0.0008, 0.01) +
                            0.5 * std::sin(2 * Pi * 2700.0 * T) * Envelope(T, 0.0008, 0.006);
        W[I] = Tick * 0.6 + Tone;
    }
    FadeTail(W, 0.02);
    return W;
}

// Crackling fire, Seconds long, that loops. Roar is the weight of the low rumble, Rate the number of
// crackles per second.
Wave Fire(double Seconds, double Roar, double Rate, uint32_t Seed) {
    const int N = Samples(Seconds);
    Wave      Noise(N), W(N, 0.0);
    clsRandom Random(Seed);
    for (double& S : Noise)
        S = Random.Real() * 2.0 - 1.0;
    // Filters run twice round the circular buffer; the second lap's output is periodic.
    clsLowPass Low(350), Low2(350), Hiss(5000);
    for (int Lap = 0; Lap < 2; ++Lap)
        for (int I = 0; I < N; ++I) {
            const double Deep = Low2.Step(Low.Step(Noise[I]));
            const double Air = Noise[I] - Hiss.Step(Noise[I]);
            const double T = Time(I);
            // Flutter with whole cycles per loop, so it too joins at the ends.
            const double Flutter = 0.7 + 0.2 * std::sin(2 * Pi * std::round(1.3 * Seconds) * T / Seconds) +
                                   0.1 * std::sin(2 * Pi * std::round(3.1 * Seconds) * T / Seconds + 2.0);
            if (Lap == 1)
                W[I] = (Deep * 14.0 * Roar + Air * 0.05) * Flutter;
        }
    const int Crackles = static_cast<int>(Rate * Seconds);
    for (int K = 0; K < Crackles; ++K) {
        const int    At = Random.Int(N);
        const double Gain = 0.15 + 0.85 * std::pow(Random.Real(), 3.0);
        const double Decay = 0.0008 + 0.003 * Random.Real();
        const double Pitch = 1500.0 + 3000.0 * Random.Real();
        for (int J = 0; J < Samples(Decay * 8); ++J) {
            const double T = Time(J);
            const double Pop = (0.6 * (Random.Real() * 2.0 - 1.0) + std::sin(2 * Pi * Pitch * T)) * std::exp(-T / Decay);
            W[(At + J) % N] += Gain * Pop;
        }
    }
    return W;
}

bool WriteWave(const std::string& Path, Wave W, bool Mp3) {
    // The MPEG coder can overshoot a little at sharp transients, so its input keeps more headroom.
    Normalise(W, Mp3 ? 0.8 : 0.9);
    std::vector<short> Pcm(W.size());
    for (size_t I = 0; I < W.size(); ++I)
        Pcm[I] = static_cast<short>(std::lround(W[I] * 32767.0));
    SF_INFO Info = {};
    Info.samplerate = SoundRate;
    Info.channels = 1;
    Info.format = Mp3 ? (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SNDFILE* File = sf_open(Path.c_str(), SFM_WRITE, &Info);
    if (!File) {
        std::fprintf(stderr, "assetgen: %s: %s\n", Path.c_str(), sf_strerror(nullptr));
        return false;
    }
    if (Mp3) {
        double Level = 0.25;   // 0 is the best quality, 1 the smallest file
        sf_command(File, SFC_SET_COMPRESSION_LEVEL, &Level, sizeof(Level));
    }
    const bool Ok = sf_write_short(File, Pcm.data(), Pcm.size()) == static_cast<sf_count_t>(Pcm.size());
    return sf_close(File) == 0 && Ok;
}

} // namespace

bool WriteSounds(const std::string& Root) {
    const std::string Dir = Root + "/sound/fx/";
    struct Effect {
        const char* File;
        Wave (*Make)();
        bool Mp3;
    };
    const Effect Effects[] = {
        {"bonus.wav", Bonus, false},
        {"alarm.mp3", [] { return LeadIn(Alarm()); }, true},
        {"xplbig.wav", BigBlast, false},
        {"xplsmall.wav", SmallBlast, false},
        {"hitwall.mp3", [] { return LeadIn(HitWall()); }, true},
        {"shot.mp3", [] { return LeadIn(Shot()); }, true},
        {"fire.mp3", [] { return Fire(3.0, 1.0, 14.0, 9101); }, true},
        {"fireburn.wav", [] { return Fire(4.0, 1.6, 24.0, 9102); }, false},
        {"button.mp3", [] { return LeadIn(Button()); }, true},
        {"heart.mp3", Heart, true},
    };
    bool Ok = true;
    for (const Effect& E : Effects)
        Ok = WriteWave(Dir + E.File, E.Make(), E.Mp3) && Ok;
    return Ok;
}
