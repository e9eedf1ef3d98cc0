#include <array>

#include "speech/aravo/normalise.h"

namespace aravo {
namespace {

// Names of the codes 32..126.
constexpr std::array<const char*, 95> kAsciiNames = {
    "espaço", "exclamação", "aspas", "sustenido", "cifrão", "porcento", "é comercial",
    "apóstrofo", "abre parênteses", "fecha parênteses", "asterisco", "mais", "vírgula", "traço",
    "ponto", "barra", "zéro", "um", "dois", "três", "quatro", "cinco", "seis", "séte", "oito",
    "nóve", "dois pontos", "ponto e vírgula", "menor que", "igual", "maior que", "interrogação",
    "arrôba", "a", "bê", " sê", " dê", "é", "éfe", "jê", "agá", "i", "jóta", "cá", "éle",
    "ême", "êne", "ó", "pê", "quê", "érre", "ésse", "tê", "u", "vê", "dábliu", "xis",
    "ípsilon", "zê", "abre colchete", "barra invertida", "fecha colchete", "circunflexo",
    "sublinhado", "crase", "a", "bê", " sê", " dê", "é", "éfe", "jê", "agá", "i", "jota", "cá",
    "éle", "ême", "ene", "ó", "pê", "quê", "érre", "ésse", "tê", "u", "vê", "dábliu", "xis",
    "ípsilon", "zê", "abre chave", "barra vertical", "fecha chave", "til"};

// Names of the codes 161..220; the codes 224..255 borrow the name of the code 32 below.
constexpr std::array<const char*, 60> kUpperNames = {
    "exclamação reversa", "centavos de dólar", "libras", "símbolo de moeda", "iene",
    "barra interrompida", "parágrafo", "trema", "copyright", "ordinal feminino",
    "Aspas esquerdas", "negação", "hífen", "Marca registrada", "mácron", "grau",
    "mais ou menos", "elevado ao quadrado", "elevado ao cubo", "acento agudo", "mi", "pi",
    "ponto no meio", "cedilha", "expoente um", "ordinal masculino", "aspas direitas",
    "um quarto", "um meio", "três quartos", "interrogação reversa", "A grave", "A agudo",
    "A circunflexo", "A com til", "A com trema", "A bola", "A É", "Cê cedilha", "É grave",
    "É agudo", "É circunflexo", "É com trema", "I grave", "I agudo", "I circunflexo",
    "I com trema", "Dê cortado", "N com til", "Ó grave", "Ó agudo", "Ó circunflexo",
    "Ó com til", "Ó tremado", "vezes", "Ó cortado", "U grave", "U agudo", "U circunflexo",
    "U com trema"};

}  // namespace

std::string CharacterName(unsigned char code) {
  if (code >= 224) code -= 32;
  if (code >= 32 && code <= 126) return kAsciiNames[code - 32];
  if (code >= 161 && code <= 220) return kUpperNames[code - 161];
  return {};
}

}  // namespace aravo
