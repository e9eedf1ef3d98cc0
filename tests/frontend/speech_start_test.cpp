// The speech settings and start-up: keys per speed with their defaults, the folders of the
// prompts, the choice of an external engine, the click, and the fatal start-up failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frontend/frontend_fixture.h"
#include "platform/keys.h"
#include "speech/frontend/speech_settings.h"

namespace frontend_test {
namespace {

using Names = std::vector<std::string>;

TEST(SettingInteger, DigitsBeforeTheFirstBadCharacterWithAnIndication) {
  const struct {
    const char* text;
    std::int32_t value;
    bool whole;
  } cases[] = {
      {"", 0, false},          {"0", 0, true},
      {"42", 42, true},        {"-7", -7, true},
      {"+7", 7, true},         {"380x", 380, false},
      {"x1", 0, false},        {"-", 0, false},
      {"1 2", 1, false},       {"2147483647", 2147483647, true},
      {"-2147483648", -2147483647 - 1, true},
      {"2147483648", 2147483647, false},
      {"99999999999999999999", 2147483647, false},
  };
  for (const auto& c : cases) {
    const frontend::SettingInteger read = frontend::ParseSettingInteger(c.text);
    EXPECT_EQ(read.value, c.value) << '"' << c.text << '"';
    EXPECT_EQ(read.whole, c.whole) << '"' << c.text << '"';
  }
}

class SpeechSettingsTest : public FrontendTest {};

TEST_F(SpeechSettingsTest, TheSpeedComesFromTheArgumentOrTheConfiguration) {
  const struct {
    std::int32_t argument;
    const char* velocidade;  // nullptr: absent
    std::int32_t speed;
  } cases[] = {
      {0, nullptr, 3}, {0, "5", 5}, {0, "1", 1},  {0, "9", 3},  {0, "0", 3}, {0, "abc", 3},
      {0, "4x", 4},    {-1, "2", 2}, {7, "5", 3}, {2, "5", 2},  {5, nullptr, 5},
  };
  for (const auto& c : cases) {
    WriteSettings(Settings().Translator(c.velocidade ? std::string("VELOCIDADE=") + c.velocidade + "\r\n" : ""));
    EXPECT_EQ(frontend::ResolveSpeed(c.argument), c.speed)
        << c.argument << " with VELOCIDADE " << (c.velocidade ? c.velocidade : "absent");
  }
}

TEST_F(SpeechSettingsTest, SynthesizerKeysOfTheSpeedWithTheirDefaults) {
  WriteFile("VERANTO.INI", "[SINTETIZADOR]\r\nDIFONES2=OUTRA\r\nPAUSAVIRG2=90\r\n");
  const frontend::SynthesizerSettings absent = frontend::ReadSynthesizerSettings(3);
  EXPECT_EQ(absent.database, "");
  EXPECT_EQ(absent.cut, 0);
  EXPECT_EQ(absent.floor, 0);
  EXPECT_EQ(absent.gap, 0);
  EXPECT_FALSE(absent.speechCut);
  EXPECT_FALSE(absent.fastPlayback);
  EXPECT_EQ(absent.fullStopPause, 250);
  EXPECT_EQ(absent.commaPause, 150);
  EXPECT_EQ(absent.colonPause, 200);
  const frontend::SynthesizerSettings two = frontend::ReadSynthesizerSettings(2);
  EXPECT_EQ(two.database, "OUTRA");
  EXPECT_EQ(two.commaPause, 90);

  WriteFile("VERANTO.INI",
            "[SINTETIZADOR]\r\nDIFONES3=DIFONESXYZ\r\nCORTEFON3=380x\r\nSOBRAFON3=12x\r\nINTERPAL3=abc\r\n"
            "CORTAFALA3=Sim\r\nRAPIDINHO3=1\r\nPAUSAPONTO3=300\r\nPAUSAVIRG3=abc\r\n"
            "PAUSADOISPONTOS3=-50\r\n");
  const frontend::SynthesizerSettings odd = frontend::ReadSynthesizerSettings(3);
  EXPECT_EQ(odd.database, "DIFONESX");
  EXPECT_EQ(odd.cut, 380);
  EXPECT_EQ(odd.floor, 0);
  EXPECT_EQ(odd.gap, 0);
  EXPECT_TRUE(odd.speechCut);
  EXPECT_TRUE(odd.fastPlayback);
  EXPECT_EQ(odd.fullStopPause, 300);
  EXPECT_EQ(odd.commaPause, 150);
  EXPECT_EQ(odd.colonPause, -50);

  WriteFile("VERANTO.INI",
            "[SINTETIZADOR]\r\nSOBRAFON3=12\r\nINTERPAL3=150\r\nCORTAFALA3=não\r\nRAPIDINHO3=N\r\n");
  const frontend::SynthesizerSettings plain = frontend::ReadSynthesizerSettings(3);
  EXPECT_EQ(plain.floor, 12);
  EXPECT_EQ(plain.gap, 150);
  EXPECT_FALSE(plain.speechCut);
  EXPECT_FALSE(plain.fastPlayback);
}

TEST_F(SpeechSettingsTest, AnEngineIsWantedWhenSapiSaysSoWithTheSpeedRule) {
  const struct {
    const char* servfala;
    const char* sapi;  // nullptr: absent
    bool wanted;
    std::int32_t voice;
    std::int32_t speed;
    std::int32_t pitch;
    std::int32_t type;
    const char* voiceName = "";
  } cases[] = {
      {"VOZ=2\r\nTOM=3\r\nTIPOSAPI=4\r\nVELOCIDADE=15\r\n", nullptr, false, 0, 0, 0, 0},
      {"TIPOSAPI=4\r\n", "N", false, 0, 0, 0, 0},
      {"TIPOSAPI=4\r\n", "não", false, 0, 0, 0, 0},
      {"TIPOSAPI=4\r\n", "nunca", false, 0, 0, 0, 0},
      {"VOZ=2\r\nTOM=3\r\nTIPOSAPI=4\r\nVELOCIDADE=15\r\n", "S", true, 2, 15, 3, 4},
      {"TIPOSAPI=5\r\nVELOCIDADE=15\r\n", "1", true, 0, 0, 0, 5},
      {"TIPOSAPI=5\r\nVELOCIDADE=10\r\n", "sim", true, 0, 10, 0, 5},
      {"TIPOSAPI=54\r\nVELOCIDADE=-10\r\n", "S", true, 0, -10, 0, 54},
      {"VELOCIDADE=11\r\n", "S", true, 0, 0, 0, 0},  // TIPOSAPI absent: 0, not 4
      {"TIPOSAPI=3x\r\nVELOCIDADE=3\r\nTOM=-2\r\n", "S", true, 0, 3, -2, 3},
      // A VOZ that does not begin with a digit or a sign names a voice.
      {"VOZ= Português (Brasil) \r\nTIPOSAPI=5\r\n", "S", true, 0, 0, 0, 5, "Português (Brasil)"},
      {"VOZ=roa/pt-BR\r\n", "S", true, 0, 0, 0, 0, "roa/pt-BR"},
      {"VOZ= -3x\r\n", "S", true, -3, 0, 0, 0},
      {"VOZ=+7\r\n", "S", true, 7, 0, 0, 0},
  };
  for (const auto& c : cases) {
    WriteFile("VERANTO.INI", std::string("[TRADUTOR]\r\n") + (c.sapi ? std::string("SAPI=") + c.sapi + "\r\n" : "") +
                                 "[SERVFALA]\r\n" + c.servfala);
    const frontend::EngineSettings engine = frontend::ReadEngineSettings();
    const std::string trace = std::string(c.sapi ? c.sapi : "absent") + " / " + c.servfala;
    EXPECT_EQ(engine.wanted, c.wanted) << trace;
    if (!c.wanted) continue;
    EXPECT_EQ(engine.voice, c.voice) << trace;
    EXPECT_EQ(engine.speed, c.speed) << trace;
    EXPECT_EQ(engine.pitch, c.pitch) << trace;
    EXPECT_EQ(engine.type, c.type) << trace;
    EXPECT_EQ(engine.voiceName, c.voiceName) << trace;
  }
  // A forced engine type is wanted whatever SAPI says, and the speed rule follows it.
  WriteFile("VERANTO.INI", "[TRADUTOR]\r\nSAPI=N\r\n[SERVFALA]\r\nTIPOSAPI=4\r\nVELOCIDADE=15\r\n");
  const frontend::EngineSettings forced = frontend::ReadEngineSettings(true, 3);
  EXPECT_TRUE(forced.wanted);
  EXPECT_EQ(forced.type, 3);
  EXPECT_EQ(forced.speed, 0);
}

class SpeechStartTest : public FrontendTest {
 protected:
  // A prompt of 300 samples of `value` in `folder` below the Windows folder.
  void WritePrompt(const std::string& path, std::uint8_t value) {
    WriteFile(path, test_support::WaveImage(11025, 1, 8, Bytes(300, value)));
  }
};

TEST_F(SpeechStartTest, ProgramStartStartsComponentServicesAndResetsTheState) {
  WriteSettings();
  StartModules();
  EXPECT_EQ(sim::ComponentServicesStarts(), 1);
  frontend::SetPunctuationAnnouncing(false);
  frontend::SetEngineSpoke(false);
  frontend::FrontendStart();
  EXPECT_EQ(sim::ComponentServicesStarts(), 2);
  EXPECT_TRUE(frontend::EngineSpoke());
  EXPECT_FALSE(frontend::EngineMode());
  Names heard;
  const sim::RunResult result = sim::Run([&] {
    frontend::SpeechStart(0, "");
    frontend::Speak("Fim.");
    heard = Heard();
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(heard, (Names{kVoice, "_46"})) << "announcing is on again";
}

TEST_F(SpeechStartTest, SettingsOfTheConfiguredSpeedReachTheVoiceAndThePlayer) {
  // Speed 2 from VELOCIDADE: the voice and the flags of speed 3 must not be used.
  WriteFile("VERANTO.INI", "[TRADUTOR]\r\nVELOCIDADE=2\r\nDIRLETRAS=" + LettersFolder() +
                               "\r\nDIRDIFONES=" + DiphonesFolder() +
                               "\r\n[SINTETIZADOR]\r\nDIFONES2=" + kVoiceName +
                               "\r\nCORTAFALA2=S\r\nRAPIDINHO2=sim\r\nRAPIDINHO3=N\r\n");
  StartModules();
  const sim::RunResult result = sim::Run([] {
    frontend::SpeechStart(0, "");
    EXPECT_TRUE(audio::SpeechCut());
    EXPECT_TRUE(audio::FastPlayback());
  });
  EXPECT_FALSE(result.exited) << "the voice of speed 2 opened";
  EXPECT_FALSE(result.stalled) << result.message;
}

TEST_F(SpeechStartTest, PromptsComeFromTheProgramFolderOrTheLettersFolder) {
  WritePrompt("prog/AVINIC.wav", 90);
  const std::string programForms[] = {Folder() + "/prog", Folder() + "/prog/", Folder() + "/prog\\"};
  const std::string lettersForms[] = {LettersFolder(), LettersFolder() + "/", LettersFolder() + "\\"};
  for (int form = 0; form < 3; ++form) {
    WriteSettings(Settings().Letters(lettersForms[form]));
    StartModules();
    std::vector<Bytes> firstBytes;
    Names letters;
    const sim::RunResult result = sim::Run([&] {
      frontend::SpeechStart(0, programForms[form]);
      frontend::PlayPrompt("AVINIC");
      frontend::PlayPrompt("");  // nothing at all
      const std::size_t first = sim::WaveBlocks().size();
      frontend::PlayPrompt("_MENOS");
      frontend::PlayPrompt("_zero");
      letters = Heard(first);
    });
    EXPECT_FALSE(result.stalled) << result.message;
    ASSERT_EQ(sim::WaveBlocks().size(), 3u) << form;
    EXPECT_EQ(sim::WaveBlocks()[0].bytes[0], 90) << form;
    EXPECT_EQ(letters, (Names{"_MENOS", "_zero"})) << form;
    diphone::DiphoneClose();
    audio::PlayerStop();
    console::ConsoleStop();
    sim::Reset();
  }
}

TEST_F(SpeechStartTest, NoProgramFolderMeansTheCurrentFolder) {
  WriteSettings();
  WritePrompt("AVINIC.wav", 91);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(Folder());
  StartModules();
  const sim::RunResult result = sim::Run([] {
    frontend::SpeechStart(0, "");
    frontend::PlayPrompt("AVINIC");
  });
  std::filesystem::current_path(previous);
  EXPECT_FALSE(result.stalled) << result.message;
  ASSERT_EQ(sim::WaveBlocks().size(), 1u);
  EXPECT_EQ(sim::WaveBlocks()[0].bytes[0], 91);
}

TEST_F(SpeechStartTest, AVoiceThatCannotOpenIsReportedAndEndsTheProgramAfterEnter) {
  const struct {
    const char* name;
    const char* database;
    bool removeRules;
    const char* firstLine;
    const char* secondLine;
  } cases[] = {
      {"missing database", "NADA", false, "Erro de inicialização: 1", "Banco de dados de voz: NADA"},
      {"long name", "TESTEXYZW", false, "Erro de inicialização: 1", "Banco de dados de voz: TESTEXYZ"},
      {"no name", "", false, "Erro de inicialização: 1", "Banco de dados de voz:"},
      {"missing rules", kVoiceName, true, "Erro de inicialização: 2", "Banco de dados de voz: TESTE"},
  };
  for (const auto& c : cases) {
    if (c.removeRules) std::filesystem::remove(DiphonesFolder() + "/regras.rgr");
    // An external engine is configured too: it is never opened.
    WriteFile("VERANTO.INI", "[TRADUTOR]\r\nSAPI=S\r\nDIRLETRAS=" + LettersFolder() + "\r\nDIRDIFONES=" +
                                 DiphonesFolder() + "\r\n[SINTETIZADOR]\r\nDIFONES3=" + c.database +
                                 "\r\n[SERVFALA]\r\nTIPOSAPI=5\r\n");
    StartModules();
    bool returned = false;
    const sim::RunResult result = sim::Run([&] {
      sim::TypeText("ok\r");
      frontend::SpeechStart(0, "");
      returned = true;
    });
    EXPECT_TRUE(result.exited) << c.name << result.message;
    EXPECT_EQ(result.exitCode, 0) << c.name;
    EXPECT_FALSE(returned) << c.name;
    EXPECT_EQ(sim::ScreenRow(0), c.firstLine) << c.name;
    EXPECT_EQ(sim::ScreenRow(1), c.secondLine) << c.name;
    EXPECT_EQ(sim::ScreenRow(2), "ok") << c.name;  // the line read before Enter
    EXPECT_EQ(engines::CurrentEngineType(), engines::kStartEngineType) << c.name;
    EXPECT_FALSE(frontend::EngineMode()) << c.name;
    console::ConsoleStop();
    sim::Reset();
  }
}

TEST_F(SpeechStartTest, TheFailureWaitsForEnter) {
  WriteFile("VERANTO.INI", "[TRADUTOR]\r\nDIRLETRAS=" + LettersFolder() + "\r\n");
  StartModules();
  const sim::RunResult result = sim::Run([] { frontend::SpeechStart(0, ""); });
  EXPECT_TRUE(result.stalled);
  EXPECT_FALSE(result.exited);
  EXPECT_EQ(sim::ScreenRow(0), "Erro de inicialização: 1");
}

TEST_F(SpeechStartTest, AnEngineThatDoesNotOpenLeavesTheInternalVoice) {
  // The Aravo engine's files are not where its defaults point, so it cannot open.
  WriteSettings(Settings().Translator("SAPI=S\r\n").Sections("[SERVFALA]\r\nTIPOSAPI=3\r\n"));
  StartModules();
  Names heard;
  const sim::RunResult result = sim::Run([&] {
    frontend::SpeechStart(0, "");
    frontend::Speak("12");
    heard = Heard();
  });
  EXPECT_FALSE(result.stalled) << result.message;
  EXPECT_EQ(engines::CurrentEngineType(), engines::kAravoEngine) << "the type is kept all the same";
  EXPECT_FALSE(frontend::EngineMode());
  EXPECT_EQ(heard, (Names{"_doze"}));
}

TEST_F(SpeechStartTest, TheClickIsShortNoiseThenSilenceAndIsNeverShortened) {
  WriteSettings(Settings().Synthesizer("CORTAFALA3=S\r\n"));
  const sim::RunResult result = RunSpeech([] {
    ASSERT_TRUE(audio::SpeechCut());
    frontend::PlayClick();
    frontend::PlayClick();
    EXPECT_TRUE(audio::SpeechCut()) << "the flag is restored";
  });
  EXPECT_FALSE(result.stalled) << result.message;
  ASSERT_EQ(sim::WaveBlocks().size(), 2u);
  for (const sim::WaveBlockRecord& block : sim::WaveBlocks()) {
    EXPECT_EQ(block.format.rate, 11025);
    EXPECT_EQ(block.format.bits, 8);
    EXPECT_EQ(block.format.channels, 1);
    EXPECT_TRUE(IsClick(block.bytes));
    EXPECT_FALSE(block.cut);
  }
  EXPECT_NE(sim::WaveBlocks()[0].bytes, Bytes(256, 128)) << "the noise is heard";
}

}  // namespace
}  // namespace frontend_test
