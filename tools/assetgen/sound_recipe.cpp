// Parses sound recipes and plays them into samples.
#include "tools/assetgen/sound_recipe.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

struct NumberField {
    const char* name;
    double SoundEvent::*field;
    double lowest, highest;
};

const NumberField kEventNumbers[] = {
    {"at", &SoundEvent::at, 0, 600},
    {"for", &SoundEvent::length, 0.0001, 600},
    {"volume", &SoundEvent::volume, 0, 1},
    {"attack", &SoundEvent::attack, 0, 60},
    {"release", &SoundEvent::release, 0, 60},
    {"decay", &SoundEvent::decay, 0, 60},
    {"pitch", &SoundEvent::pitch, 1, 20000},
    {"to", &SoundEvent::slideTo, 1, 20000},
    {"vibrato", &SoundEvent::vibratoRate, 0, 100},
    {"depth", &SoundEvent::vibratoDepth, 0, 24},
    {"tremolo", &SoundEvent::tremoloRate, 0, 100},
    {"swell", &SoundEvent::tremoloSwell, 0, 1},
    {"grain", &SoundEvent::grain, 1, 44100},
    {"every", &SoundEvent::every, 0, 600},
    {"fade", &SoundEvent::fade, 0, 4},
    {"bend", &SoundEvent::bend, 0.01, 100},
};

bool ParseWave(const std::string& word, Waveform& wave)
{
    if (word == "sine")
        wave = Waveform::Sine;
    else if (word == "triangle")
        wave = Waveform::Triangle;
    else if (word == "square")
        wave = Waveform::Square;
    else if (word == "saw")
        wave = Waveform::Saw;
    else
        return false;
    return true;
}

bool ParseEvent(const SourceText& source, int lineNumber, const std::vector<std::string>& words, SoundEvent& event)
{
    event = SoundEvent{};
    const bool noise = words[0] == "noise";
    if (noise)
        event.wave = Waveform::Noise;
    if (words.size() % 2 == 0)
        return ReportSourceFault(source, lineNumber, "each setting needs a name and a value");
    bool hasAt = false, hasFor = false;
    for (size_t i = 1; i + 1 < words.size(); i += 2) {
        const std::string& name = words[i];
        const std::string& value = words[i + 1];
        if (name == "wave") {
            if (noise || !ParseWave(value, event.wave))
                return ReportSourceFault(source, lineNumber, "wave is sine, triangle, square or saw, for tones only");
            continue;
        }
        if (name == "repeat") {
            if (!ParseWholeNumber(value, event.repeat) || event.repeat < 1 || event.repeat > 1000)
                return ReportSourceFault(source, lineNumber, "repeat needs a whole number from 1 to 1000");
            continue;
        }
        const NumberField* field = nullptr;
        for (const NumberField& candidate : kEventNumbers)
            if (name == candidate.name)
                field = &candidate;
        if (!field)
            return ReportSourceFault(source, lineNumber, "unknown setting '" + name + "'");
        double number = 0;
        if (!ParseNumber(value, number) || number < field->lowest || number > field->highest)
            return ReportSourceFault(source, lineNumber,
                                     name + " needs a number from " + std::to_string(field->lowest) + " to " +
                                         std::to_string(field->highest));
        event.*(field->field) = number;
        hasAt = hasAt || name == "at";
        hasFor = hasFor || name == "for";
    }
    if (!hasAt || !hasFor)
        return ReportSourceFault(source, lineNumber, "every event needs 'at' and 'for'");
    return true;
}

bool ParseHeaderLine(const SourceText& source, int lineNumber, const std::vector<std::string>& words,
                     SoundRecipe& recipe)
{
    const std::string& name = words[0];
    if (name == "loop") {
        if (words.size() != 1)
            return ReportSourceFault(source, lineNumber, "loop takes no value");
        recipe.loop = true;
        return true;
    }
    if (words.size() != 2)
        return ReportSourceFault(source, lineNumber, "expected a name and one value");
    double number = 0;
    const bool isNumber = ParseNumber(words[1], number);
    if (name == "rate") {
        if (!isNumber || (number != 22050 && number != 44100))
            return ReportSourceFault(source, lineNumber, "rate is 22050 or 44100");
        recipe.rate = int(number);
    } else if (name == "length") {
        if (!isNumber || number < 0.01 || number > 60)
            return ReportSourceFault(source, lineNumber, "length is 0.01 to 60 seconds");
        recipe.length = number;
    } else if (name == "peak") {
        if (!isNumber || number < 0.05 || number > 0.95)
            return ReportSourceFault(source, lineNumber, "peak is 0.05 to 0.95");
        recipe.peak = number;
    } else if (name == "seed") {
        int seed = 0;
        if (!ParseWholeNumber(words[1], seed) || seed < 0)
            return ReportSourceFault(source, lineNumber, "seed is a whole number");
        recipe.seed = uint32_t(seed);
    } else {
        return ReportSourceFault(source, lineNumber, "unknown line '" + name + "'");
    }
    return true;
}

int Samples(double seconds, int rate) { return int(std::lround(seconds * rate)); }

// Band-limited waves: the harmonics that stay below half the sample rate.
double WaveValue(Waveform wave, double phase, double frequency, int rate)
{
    const double angle = 2 * kPi * phase;
    if (wave == Waveform::Sine)
        return std::sin(angle);
    const int harmonics = int(std::fmin(24.0, std::floor(rate / 2.0 / frequency)));
    double sum = 0;
    for (int k = 1; k <= harmonics; ++k) {
        if (wave == Waveform::Saw)
            sum += std::sin(k * angle) / k * 0.55;
        else if (k % 2 == 1 && wave == Waveform::Square)
            sum += std::sin(k * angle) / k * 0.8;
        else if (k % 2 == 1 && wave == Waveform::Triangle)
            sum += ((k / 2) % 2 ? -1 : 1) * std::sin(k * angle) / (k * k) * 0.81;
    }
    return sum;
}

uint32_t NextNoise(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

void PlayEvent(const SoundRecipe& recipe, const SoundEvent& event, int copy, uint32_t& noiseState,
               std::vector<float>& out)
{
    const int rate = recipe.rate;
    const int total = int(out.size());
    const int start = Samples(event.at + copy * event.every, rate);
    const int count = Samples(event.length, rate);
    const double volume = event.volume * std::pow(event.fade, copy);
    const double pitch = event.pitch * std::pow(event.bend, copy);
    const double slideTo = event.slideTo > 0 ? event.slideTo * std::pow(event.bend, copy) : pitch;
    const double attack = std::fmax(1.0, event.attack * rate), release = std::fmax(1.0, event.release * rate);
    double phase = 0, noiseFrom = 0, noiseTo = 0, noisePhase = 1;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        double envelope = std::fmin(1.0, i / attack) * std::fmin(1.0, (count - 1 - i) / release);
        if (event.decay > 0)
            envelope *= std::exp(-t / event.decay);
        if (event.tremoloRate > 0)
            envelope *= 1 - (1 - event.tremoloSwell) * (0.5 - 0.5 * std::cos(2 * kPi * event.tremoloRate * t));
        double value = 0;
        if (event.wave == Waveform::Noise) {
            noisePhase += event.grain / rate;
            if (noisePhase >= 1) {
                noisePhase -= std::floor(noisePhase);
                noiseFrom = noiseTo;
                noiseTo = (NextNoise(noiseState) & 0xFFFF) / 32767.5 - 1;
            }
            value = noiseFrom + (noiseTo - noiseFrom) * noisePhase;
        } else {
            double frequency = pitch * std::pow(slideTo / pitch, double(i) / count);
            if (event.vibratoRate > 0)
                frequency *= std::pow(2.0, event.vibratoDepth * std::sin(2 * kPi * event.vibratoRate * t) / 12);
            value = WaveValue(event.wave, phase, frequency, rate);
            phase += frequency / rate;
            phase -= std::floor(phase);
        }
        int index = start + i;
        if (recipe.loop)
            index %= total;
        if (index < total)
            out[size_t(index)] += float(value * envelope * volume);
    }
}

} // namespace

bool ParseSoundRecipe(const SourceText& source, SoundRecipe& recipe)
{
    recipe = SoundRecipe{};
    for (size_t i = 0; i < source.lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        const std::vector<std::string> words = SplitWords(source.lines[i]);
        if (words.empty())
            continue;
        if (words[0] == "tone" || words[0] == "noise") {
            SoundEvent event;
            if (!ParseEvent(source, lineNumber, words, event))
                return false;
            recipe.events.push_back(event);
        } else if (!ParseHeaderLine(source, lineNumber, words, recipe)) {
            return false;
        }
    }
    if (recipe.length <= 0)
        return ReportSourceFault(source, 0, "no length given");
    if (recipe.events.empty())
        return ReportSourceFault(source, 0, "no tone or noise events");
    for (size_t e = 0; e < recipe.events.size(); ++e) {
        const SoundEvent& event = recipe.events[e];
        const double end = event.at + (event.repeat - 1) * event.every + event.length;
        if (!recipe.loop && Samples(end, recipe.rate) > RecipeSampleCount(recipe))
            return ReportSourceFault(source, 0, "event " + std::to_string(e + 1) + " ends after the sound's length");
        if (recipe.loop && event.length > recipe.length)
            return ReportSourceFault(source, 0, "event " + std::to_string(e + 1) + " is longer than the loop");
    }
    return true;
}

int RecipeSampleCount(const SoundRecipe& recipe) { return Samples(recipe.length, recipe.rate); }

std::vector<float> SynthesizeSound(const SoundRecipe& recipe)
{
    std::vector<float> samples(size_t(RecipeSampleCount(recipe)), 0.0f);
    uint32_t noiseState = recipe.seed;
    for (const SoundEvent& event : recipe.events)
        for (int copy = 0; copy < event.repeat; ++copy)
            PlayEvent(recipe, event, copy, noiseState, samples);
    float loudest = 0;
    for (float s : samples)
        loudest = std::fmax(loudest, std::fabs(s));
    if (loudest > 0)
        for (float& s : samples)
            s = float(s * recipe.peak / loudest);
    return samples;
}
