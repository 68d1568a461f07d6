// The generated sound effects, decoded as the game decodes them.
#include "DataFiles.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

struct Decoded {
    int                 Channels = 0, Rate = 0;
    std::vector<double> Samples; // -1..1
};

// A generated sample through the game's own decoder.
bool Decode(const std::string& Name, Decoded& Out) {
    SoundPcm Pcm;
    if (!DecodeSoundFile(DataDir() + "/sound/fx/" + Name, Pcm)) return false;
    Out.Channels = Pcm.Channels;
    Out.Rate = Pcm.SampleRate;
    for (int16_t S : Pcm.Samples)
        Out.Samples.push_back(S / 32768.0);
    return true;
}

struct Expected {
    const char* File;
    double      MinSeconds, MaxSeconds;
    bool        Loops;
};

const Expected Effects[] = {
    {"bonus.wav", 0.3, 2.0, false},   {"alarm.mp3", 0.8, 3.0, false},
    {"xplbig.wav", 1.5, 5.0, false},  {"xplsmall.wav", 0.2, 1.2, false},
    {"hitwall.mp3", 0.1, 0.8, false}, {"shot.mp3", 0.1, 0.8, false},
    {"fire.mp3", 1.5, 6.0, true},     {"fireburn.wav", 1.5, 6.0, true},
    {"button.mp3", 0.02, 0.3, false}, {"heart.mp3", 0.6, 1.3, true},
};

double Peak(const std::vector<double>& S) {
    double P = 0;
    for (double V : S)
        P = std::max(P, std::fabs(V));
    return P;
}

// The largest step between neighbouring samples that 99 % of the steps stay below.
double TypicalLargeStep(const std::vector<double>& S) {
    std::vector<double> Steps;
    for (size_t I = 1; I < S.size(); ++I)
        Steps.push_back(std::fabs(S[I] - S[I - 1]));
    std::sort(Steps.begin(), Steps.end());
    return Steps[Steps.size() * 99 / 100];
}

} // namespace

TEST(Sounds, EveryEffectDecodesAsLoudMonoWithinItsLengthAndUnclipped) {
    for (const Expected& E : Effects) {
        SCOPED_TRACE(E.File);
        Decoded D;
        ASSERT_TRUE(Decode(E.File, D));
        EXPECT_EQ(D.Channels, 1) << "positioned sounds must be mono";
        EXPECT_TRUE(D.Rate == 22050 || D.Rate == 44100) << D.Rate;
        const double Seconds = double(D.Samples.size()) / D.Rate;
        EXPECT_GE(Seconds, E.MinSeconds);
        EXPECT_LE(Seconds, E.MaxSeconds);
        const double P = Peak(D.Samples);
        EXPECT_GT(P, 0.5) << "normalised to near full scale";
        EXPECT_LT(P, 32767.0 / 32768.0) << "a sample reached full scale: clipped";
    }
}

TEST(Sounds, OneShotsStartAndEndInSilence) {
    for (const Expected& E : Effects) {
        if (E.Loops) continue;
        SCOPED_TRACE(E.File);
        Decoded D;
        ASSERT_TRUE(Decode(E.File, D));
        ASSERT_FALSE(D.Samples.empty());
        EXPECT_LT(std::fabs(D.Samples.front()), 0.03);
        EXPECT_LT(std::fabs(D.Samples.back()), 0.01) << "the sound ends on a click";
    }
}

TEST(Sounds, TheHeartbeatLoopJoinsWithoutAGapOrClick) {
    Decoded D;
    ASSERT_TRUE(Decode("heart.mp3", D));
    const std::vector<double>& S = D.Samples;
    ASSERT_GT(S.size(), 100u);
    // Both ends are silent and the step across the join is as small as one inside quiet audio.
    EXPECT_LT(std::fabs(S.front()), 0.01);
    EXPECT_LT(std::fabs(S.back()), 0.01);
    EXPECT_LT(std::fabs(S.front() - S.back()), 0.005);
    // No gap: the beat starts within the first tenth of the loop.
    size_t FirstLoud = 0;
    while (FirstLoud < S.size() && std::fabs(S[FirstLoud]) < 0.1)
        ++FirstLoud;
    EXPECT_LT(FirstLoud, S.size() / 10);
    // One beat: the loudest part is the first half ("lub" then "dub"), the rest fades out.
    EXPECT_LT(Peak(std::vector<double>(S.begin() + S.size() * 3 / 4, S.end())), 0.05);
}

TEST(Sounds, FireLoopsJoinSeamlesslyAndCrackle) {
    for (const char* Name : {"fire.mp3", "fireburn.wav"}) {
        SCOPED_TRACE(Name);
        Decoded D;
        ASSERT_TRUE(Decode(Name, D));
        const std::vector<double>& S = D.Samples;
        ASSERT_GT(S.size(), 1000u);
        EXPECT_LE(std::fabs(S.front() - S.back()), TypicalLargeStep(S))
            << "the loop jumps at its join";
        // Crackles: short peaks well above the rumble's level.
        double Sum = 0;
        for (double V : S)
            Sum += V * V;
        const double Rms = std::sqrt(Sum / S.size());
        EXPECT_GT(Peak(S), 3.0 * Rms);
        // The fire sounds all the way through: no second of it is near silence.
        const size_t Quarter = S.size() / 4;
        for (int Q = 0; Q < 4; ++Q)
            EXPECT_GT(
                Peak(std::vector<double>(S.begin() + Q * Quarter, S.begin() + (Q + 1) * Quarter)),
                0.1);
    }
}

TEST(Sounds, TheBonusChimeRisesInPitch) {
    // Count zero crossings in the first and in the third tenth: the later notes are higher.
    Decoded D;
    ASSERT_TRUE(Decode("bonus.wav", D));
    auto Crossings = [&](size_t From, size_t To) {
        int N = 0;
        for (size_t I = From + 1; I < To; ++I)
            N += (D.Samples[I - 1] < 0) != (D.Samples[I] < 0);
        return N;
    };
    const size_t Tenth = D.Rate / 20; // 50 ms windows
    EXPECT_GT(Crossings(Tenth * 6, Tenth * 7), Crossings(Tenth / 4, Tenth + Tenth / 4));
}
