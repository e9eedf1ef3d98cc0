// Fuzzes the internal voice's translator. The first byte chooses what the rest is: a rules
// file or an exceptions file (loaded in place of the fixed ones below, then a fixed text and
// the input itself are translated), or a text translated with the fixed files.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "speech/diphone/translator.h"

namespace {

// Rules that use every context symbol on each side where it has a meaning, and matches
// that hold accent marks and signs.
constexpr const char* kRules =
    "; a small rule set for fuzzing\n"
    "%#(A)\\=a1\n(A~O)=a~w\n](A)+=a2\n_(A)&=a3 \n|(A)*=a4\n(A)[=a5\n(A)=a\n"
    "(B)=b\n(CH)=x\n(C)+=s\n(C)=k\n(D)=d\n#(E)%=i\n(E)=e\n(F)=f\n(GU)+=g\n(G)+=j\n(G)=g\n"
    "(H)=\n(I)=i\n(J)=j\n(K)=k\n(L)%=w\n(L)=l\n(M)[=~\n(M)=m\n(N)[=~\n(N)=n\n(O)%=u\n(O)=o\n"
    "(P)=p\n(QU)+=k\n(Q)=k\n%(R)=rr\n(RR)=rr\n|(R)=rr\n(R)=r\n#(S)#=z\n(SS)=s\n(S)=s\n(T)=t\n"
    "(U)=u\n(V)=v\n(W)=w\n(X)=x\n(Y)=i\n(Z)%=s\n(Z)=z\n(^)=\n(')=\n(\")=\n(,)=_,\n(.)=_.\n";
constexpr const char* kExceptions =
    "; exceptions\nmeu=mEu\nvoce^=vose^\npq=porke\nbo=bO\n"
    "x=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n";
constexpr const char* kText =
    "Wagner e D'\xC1vila, voc\xEAs e meus portugueses: \xE7\xE3o BR caixa papel tatu! "
    "a\x01\x7F\xFF\x80 sss mmm y w\n";

std::string scratchFile;

void MakeScratchFile() {
  char pattern[] = "/tmp/translator-fuzz-XXXXXX";
  const int descriptor = mkstemp(pattern);
  if (descriptor < 0) std::abort();
  close(descriptor);
  scratchFile = pattern;
  std::atexit([] { std::remove(scratchFile.c_str()); });
}

void WriteScratchFile(const void* data, std::size_t size) {
  std::FILE* file = std::fopen(scratchFile.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

void LoadFixedFiles() {
  WriteScratchFile(kRules, std::string(kRules).size());
  if (!diphone::LoadRules(scratchFile)) std::abort();
  WriteScratchFile(kExceptions, std::string(kExceptions).size());
  if (!diphone::LoadExceptions(scratchFile)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (scratchFile.empty()) MakeScratchFile();
  if (size == 0) return 0;
  LoadFixedFiles();
  const int choice = data[0] % 3;
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  if (choice != 2) {
    WriteScratchFile(rest.data(), rest.size());
    const bool loaded = choice == 0 ? diphone::LoadRules(scratchFile)
                                    : diphone::LoadExceptions(scratchFile);
    if (!loaded) std::abort();
    diphone::TranslateToPhonemes(kText);
  }
  const std::string phonemes = diphone::TranslateToPhonemes(rest);
  // Every word is bracketed: the synthesizer relies on the string ending in "]".
  if (!phonemes.empty() && phonemes.back() != ']') std::abort();
  diphone::FreeRules();
  return 0;
}
