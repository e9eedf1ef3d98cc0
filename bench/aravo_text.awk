# Writes about 130 000 characters of Portuguese text for the Aravo pipeline benchmark:
# sentences put together from the lists below by a fixed pseudo-random sequence, so every
# run reads the same text. Statements, questions, commas, numbers and abbreviations.
function lower_first(text) { return tolower(substr(text, 1, 1)) substr(text, 2) }
function pick(list,    n, items) {
  n = split(list, items, "|")
  seed = (seed * 1103515245 + 12345) % 2147483648
  return items[int(seed / 65536) % n + 1]
}
BEGIN {
  seed = 2026
  subjects = "O professor|A professora|Meu irmão|A minha avó|O médico do bairro|Nossa vizinha|O Sr. Almeida|A Dra. Helena|Um aluno novo|A diretora da escola|O técnico do laboratório|O motorista do ônibus|A equipe de futebol|Ninguém|Você|A senhora da padaria|O gerente do banco"
  verbs = "comprou|vendeu|encontrou|procurou|esqueceu|levou|trouxe|pediu|consertou|arrumou|pintou|mediu|testou|ouviu|leu|escreveu|desenhou|guardou|perdeu|ganhou"
  objects = "um livro antigo|a chave da casa|o microfone novo|uma caneta azul|o computador da sala|as cadeiras da cozinha|um bolo de chocolate|a bicicleta vermelha|o relógio do avô|uma carta comprida|os documentos do carro|o mapa da cidade|um presente bonito|a janela do quarto|o volume do rádio|as fotos da viagem"
  places = "na praça|no mercado|perto do rio|em frente à igreja|na Av. Paulista|no segundo andar|atrás do hospital|ao lado da farmácia|no centro da cidade|na casa da praia|dentro do armário|embaixo da mesa"
  times = "ontem à tarde|hoje cedo|na semana passada|depois do almoço|antes do jantar|no sábado de manhã|há 3 dias|em 15 de março|às 7 horas|no fim do ano|durante as férias|quando começou a chover"
  connectors = "Mas|Depois|Então|Por isso|Além disso|De repente|Infelizmente|Felizmente|No entanto|Enquanto isso"
  adjectives = "cansado|feliz|preocupado|tranquilo|atrasado|surpreso|contente|nervoso|calmo|animado"
  questions = "Você já terminou o trabalho|Ele vai chegar amanhã|A loja ainda está aberta|Vocês gostaram do filme|O teste do microfone deu certo|Ela sabe falar inglês|O som está alto demais|Podemos sair agora|A reunião foi cancelada|O ruído ambiente está baixo"
  total = 0
  while (total < 130000) {
    line = ""
    for (s = 0; s < 6; s++) {
      kind = int(seed / 7) % 5
      seed = (seed * 1103515245 + 12345) % 2147483648
      if (kind == 0) {
        sentence = pick(subjects) " " pick(verbs) " " pick(objects) " " pick(places) "."
      } else if (kind == 1) {
        sentence = pick(connectors) ", " lower_first(pick(subjects)) " ficou " pick(adjectives) " " pick(times) "."
      } else if (kind == 2) {
        sentence = pick(questions) "?"
      } else if (kind == 3) {
        sentence = pick(times) ", " lower_first(pick(subjects)) " " pick(verbs) " " int(seed / 1000) % 2000 " reais e " pick(objects) "."
        sentence = toupper(substr(sentence, 1, 1)) substr(sentence, 2)
      } else {
        sentence = pick(subjects) " " pick(verbs) " " pick(objects) ", " pick(objects) " e " pick(objects) " " pick(times) "!"
      }
      line = line (s ? " " : "") sentence
    }
    print line
    total += length(line) + 1
  }
}
