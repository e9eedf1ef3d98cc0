// What the shipped rules and exceptions make of words that show each spelling phenomenon of
// Brazilian Portuguese. A change to regras.rgr or portug.exc that alters one of these readings
// must be deliberate: update the line here with it.
#include <gtest/gtest.h>

#include <string>

#include "diphone/shipped_voice_fixture.h"
#include "speech/diphone/translator.h"

namespace {

using ShippedRulesTest = ShippedVoiceDataTest;

TEST_F(ShippedRulesTest, ReadWordsAsABrazilianSaysThem) {
  struct Case {
    const char* text;
    const char* phonemes;
  } cases[] = {
      {"casa", "[k/A /z/a^ ]"},            // s between vowels; unstressed final a
      {"casas", "[k/A /z/a^ /s ]"},        // final s a unit of its own
      {"carro", "[k/A /rr/u ]"},           // rr; unstressed final o
      {"rato", "[rr/A /t/u ]"},            // initial r strong
      {"honra", "[/O~ /rr/a^ ]"},          // silent h; r after n strong
      {"nascer", "[n/a /s/E^ /r ]"},       // sc before e; final r
      {"chave", "[x/A /v/i ]"},            // ch; unstressed final e
      {"filho", "[f/i /lh/u ]"},
      {"ninho", "[n/i /nh/u ]"},
      {"pão", "[p/A~w ]"},                 // ão
      {"mãe", "[m/A~y ]"},                 // ãe
      {"lições", "[l/i /s/O~y /s ]"},      // ç; ões
      {"bem", "[b/e~y ]"},                 // final em
      {"também", "[t/a~ /b/E~y ]"},        // m before a consonant; ém
      {"tempo", "[t/E~ /p/u ]"},
      {"tia", "[tch/i /a^ ]"},             // t before i
      {"dia", "[dj/i /a^ ]"},              // d before i
      {"noite", "[n/O^y /tch/i ]"},        // oi; t before final e
      {"cidade", "[s/i /d/A /dj/i ]"},     // c before i; d before final e
      {"sal", "[s/Aw ]"},                  // l closing a syllable
      {"papel", "[p/a /p/Ew ]"},           // open e before final l
      {"sol", "[s/Ow ]"},
      {"Brasil", "[b/r/a /z/Iw ]"},
      {"mar", "[m/a /r ]"},
      {"táxi", "[t/A /k/s/i ]"},           // x as ks, from the exceptions
      {"exame", "[e^ /z/A^ /m/i ]"},       // ex before a vowel
      {"texto", "[t/E^ /s /t/u ]"},        // ex before a consonant
      {"caixa", "[k/Ay /x/a^ ]"},          // ai; x after a diphthong
      {"xícara", "[x/I /k/a /r/a^ ]"},     // initial x; í
      {"quando", "[kw/A~ /d/u ]"},         // qu before a
      {"fique", "[f/I /k/i ]"},            // qu before e; stress kept off the u
      {"guerra", "[g/E /rr/a^ ]"},         // gu before e; open e before rra
      {"água", "[A /gw/a^ ]"},             // gu before a; á
      {"cinquenta", "[s/i~ /kw/E~ /t/a^ ]"},  // the u of qu sounded, from the exceptions
      {"você", "[v/o^ /s/E^ ]"},           // ê closed and stressed
      {"avó", "[a /v/O ]"},                // ó open and stressed
      {"café", "[k/a /f/E ]"},
      {"porta", "[p/O /r /t/a^ ]"},        // open o before rta
      {"pipoca", "[p/i /p/O /k/a^ ]"},     // open o from the exceptions
      {"muito", "[m/U~y /t/u ]"},
      {"ruim", "[rr/u /I~ ]"},             // hiatus from the exceptions
      {"bairro", "[b/Ay /rr/u ]"},
      {"pequeno", "[p/e^ /k/E^ /n/u ]"},   // stressed e closed by default
      {"mas", "[m/a /s ]"},                // a function word kept open and unstressed
      {"o", "[u ]"},
      {"e", "[i ]"},
      {"de", "[dj/i ]"},
      {"guarda-chuva", "[gw/A /r /d/a^ ][][x/U /v/a^ ]"},  // the hyphen is silent
      {"Estou testando o microfone.",
       "[e^ /s /t/O^w ][t/e^ /s /t/A~ /d/u ][u ][m/i /k/r/o^ /f/O^ /n/i ][ /_.]"},
  };
  for (const Case& c : cases) EXPECT_EQ(diphone::TranslateToPhonemes(c.text), c.phonemes) << c.text;
}

}  // namespace
