// Speak: whole texts to an external engine, or, with the internal voice, the text cut into
// words (diphone voice), numbers (number-word recordings) and signs (character recordings).
#include <cstdint>
#include <iostream>
#include <string>

#include "console/keyboard.h"
#include "speech/diphone/synthesizer.h"
#include "speech/diphone/translator.h"
#include "speech/engines/dispatcher.h"
#include "speech/frontend/frontend_state.h"
#include "speech/frontend/numbers.h"
#include "speech/frontend/output/speech_output.h"
#include "speech/frontend/speech.h"

namespace frontend {
namespace {

constexpr int kPauseStepMs = 50;
constexpr std::size_t kLongestTranslatedWord = 999;
constexpr std::size_t kLongestSpokenNumber = 6;  // longer digit runs are spelled
constexpr int kSpokenRepeats = 3;                // a sign's fourth repeat on is a click

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128; }
bool IsPunctuation(std::uint8_t c) {
  return c == '(' || c == ')' || c == ',' || c == '.' || c == ':' || c == ';';
}
bool IsBlank(std::uint8_t c) { return c == ' ' || c == '\t'; }

// "a" to "z" raised, and the accented small letters 224 to 255 lowered by 32.
std::string UpperCase(std::string word) {
  for (char& character : word) {
    const auto c = static_cast<std::uint8_t>(character);
    if (c >= 'a' && c <= 'z') character = static_cast<char>(c - 32);
    if (c >= 224) character = static_cast<char>(c - 32);
  }
  return word;
}

// Silence in 50 ms steps; a waiting key ends it at once.
void Pause(int milliseconds) {
  for (int step = 0; step < milliseconds / kPauseStepMs; ++step) {
    if (!console::KeyPressed()) console::Delay(kPauseStepMs);
  }
}

// The sign `sign`, followed in the text by `next`: its recording when signs are announced,
// and its pause, so that the pause falls after what was said before it.
void SpeakPunctuation(std::uint8_t sign, std::uint8_t next) {
  if (console::KeyPressed()) return;
  WaitForSpeech();
  const bool announcing = detail::PunctuationAnnouncing();
  if (announcing) PlayLetter(sign);
  const int pause = ClausePauseMs(sign, next, detail::Pauses());
  if (pause >= 0) {
    Pause(pause);
  } else if ((sign == ',' || sign == '-' || sign == '.') && !announcing) {
    PlayLetter(sign);  // inside a token (3.5, a,b) the sign is spelled
  }
}

// The tokenizer of the internal voice. The last sign seen and its repeat count live for the
// whole text: words, numbers and blanks between two equal signs do not reset them. Blanks
// are not signs: they neither count nor click.
class InternalSpeaker {
 public:
  explicit InternalSpeaker(const std::string& text) : text_(text + ' ') {}

  void Run() {
    ClearStopRequested();
    while (!StopRequested() && at_ < text_.size()) {
      if (console::KeyPressed()) {
        StopSpeech();
        break;
      }
      // Leading zeros of a number are said one by one.
      while (at_ < text_.size() && text_[at_] == '0') {
        PlayPrompt("_zero");
        ++at_;
      }
      if (at_ >= text_.size()) break;
      const auto c = static_cast<std::uint8_t>(text_[at_]);
      if (IsDigit(c)) {
        SpeakDigits();
      } else if (IsLetter(c)) {
        SpeakLetters();
      } else {
        SpeakSign(c);
      }
    }
  }

 private:
  std::uint8_t At(std::size_t position) const {
    return position < text_.size() ? static_cast<std::uint8_t>(text_[position]) : ' ';
  }

  std::string TakeRun(bool (*member)(std::uint8_t)) {
    const std::size_t start = at_;
    while (at_ < text_.size() && member(static_cast<std::uint8_t>(text_[at_]))) ++at_;
    return text_.substr(start, at_ - start);
  }

  void SpeakDigits() {
    const std::string run = TakeRun([](std::uint8_t c) { return IsDigit(c) || c == '-'; });
    if (run.find('-') == std::string::npos && run.size() <= kLongestSpokenNumber) {
      SpeakWords(NumberToWords(static_cast<std::uint32_t>(std::stoul(run))), false);
    } else {
      SpellText(run);  // dates, codes, telephone numbers
    }
  }

  void SpeakLetters() {
    const std::string run = TakeRun(IsLetter);
    if (UpperCase(run) == "WWW") {
      SpellText(run);
    } else {
      diphone::DiphoneSpeak(diphone::TranslateToPhonemes(run.substr(0, kLongestTranslatedWord)), false);
    }
    // Hyphenated words are spoken as one stream, without a minus.
    if (At(at_) == '-' && at_ + 1 < text_.size() && IsLetter(At(at_ + 1))) ++at_;
  }

  void SpeakSign(std::uint8_t c) {
    if (IsBlank(c)) {
      ++at_;
      return;
    }
    if (c == lastSign_) {
      if (++repeats_ > kSpokenRepeats) {
        PlayClick();
        c = ' ';
      }
    } else {
      lastSign_ = c;
      repeats_ = 0;
    }
    const std::size_t remaining = text_.size() - at_;
    if (text_[at_] == '-') {
      // Looked at even when the repeat rule made it a click.
      const std::uint8_t next = remaining < 3 ? ' ' : At(at_ + 1);
      if (next == ' ' || next == '-') {
        SpeakPunctuation('-', next);
      } else if (IsDigit(next)) {
        PlayPrompt("_MENOS");
      } else {
        PlayLetter('-');
      }
    } else if (text_.compare(at_, 3, "://") == 0) {
      SpellText(":");  // an address: the colon is spelled, not paused on
    } else if (IsPunctuation(c)) {
      SpeakPunctuation(c, At(at_ + 1));
    } else if (!IsBlank(c) && !console::KeyPressed()) {
      PlayLetter(c);
    }
    ++at_;
  }

  std::string text_;
  std::size_t at_ = 0;
  std::uint8_t lastSign_ = ' ';
  int repeats_ = 0;
};

}  // namespace

void Speak(const std::string& text) {
  if (EngineMode()) {
    WaitForSpeech();
    if (!console::KeyPressed()) {
      engines::EngineSpeak(text);
      SetEngineSpoke(true);
    }
    return;
  }
  InternalSpeaker(text).Run();
}

void WriteAndSpeak(const std::string& text) {
  std::cout << text << std::flush;
  Speak(text);
}

void SpeakNumber(std::int32_t value) { WriteAndSpeak(std::to_string(value)); }

void SpeechEnd() {
  WaitForSpeech();
  StopSpeech();
  if (EngineMode()) {
    engines::EngineClose();
    SetEngineMode(false);
  }
  diphone::DiphoneClose();
}

}  // namespace frontend
