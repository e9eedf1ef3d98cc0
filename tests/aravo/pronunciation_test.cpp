// The shipped language files speak common Brazilian-Portuguese words as a Brazilian would:
// each row is a word and the phonemes it must give (">" before the stressed phoneme; the
// marks of unlengthened vowels are left out).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "speech/aravo/lexicon.h"
#include "speech/aravo/transcription.h"

namespace {

struct Pronunciation {
  const char* word;
  const char* phonemes;
};

const Pronunciation kPronunciations[] = {
    {"casa", "k >a z @"}, {"casas", "k >a z @ s2"}, {"carro", "k >a rr w"},
    {"cachorro", "k a x >o rr w"}, {"gato", "g >a t w"}, {"mesa", "m >e z @"},
    {"cadeira", "k a d >e y r @"}, {"porta", "p >oo r2 t @"}, {"janela", "j a n >ee l @"},
    {"escola", "e s2 k >oo l @"}, {"professor", "p r o f e s >o r2"}, {"aluno", "a l >u n w"},
    {"livro", "l >i v r w"}, {"caderno", "k a d >ee r2 n w"}, {"caneta", "k a n >e t @"},
    {"papel", "p a p >ee w"}, {"lápis", "l >a p i s2"}, {"computador", "k on p u t a d >o r2"},
    {"telefone", "t e l e f >o n y"}, {"cidade", "s i d >a dj y"}, {"país", "p a >i s2"},
    {"mundo", "m >un d w"}, {"terra", "t >ee rr @"}, {"água", ">a g w @"}, {"fogo", "f >o g w"},
    {"ar", "a r2"}, {"sol", "s >oo w"}, {"lua", "l >u @"}, {"estrela", "e s2 t r >e l @"},
    {"céu", "s >ee w"}, {"mar", "m >a r2"}, {"rio", "rr >i w"}, {"praia", "p r >a y @"},
    {"montanha", "m on t >a nh @"}, {"árvore", ">a r2 v o r y"}, {"flor", "f l >o r2"},
    {"folha", "f >o lh @"}, {"fruta", "f r >u t @"}, {"banana", "b a n >a n @"},
    {"laranja", "l a r >an j @"}, {"maçã", "m a s >an"}, {"uva", ">u v @"},
    {"limão", "l i m >an w"}, {"pão", "p >an w"}, {"leite", "l >e y tx y"}, {"café", "k a f >ee"},
    {"açúcar", "a s >u k a r2"}, {"sal", "s >a w"}, {"arroz", "a rr >o s2"},
    {"feijão", "f e y j >an w"}, {"carne", "k >a r2 n y"}, {"peixe", "p >e y x y"},
    {"frango", "f r >an g w"}, {"ovo", ">o v w"}, {"queijo", "k >e y j w"},
    {"manteiga", "m an t >e y g @"}, {"sopa", "s >o p @"}, {"comida", "k o m >i d @"},
    {"bebida", "b e b >i d @"}, {"almoço", "a w m >o s w"}, {"jantar", "j an t >a r2"},
    {"dia", "dj >i @"}, {"noite", "n >o y tx y"}, {"manhã", "m a nh >an"},
    {"tarde", "t >a r2 dj y"}, {"hoje", ">o j y"}, {"ontem", ">on t en y"},
    {"amanhã", "a m a nh >an"}, {"semana", "s e m >a n @"}, {"mês", "m >e s2"}, {"ano", ">a n w"},
    {"hora", ">oo r @"}, {"minuto", "m i n >u t w"}, {"segundo", "s e g >un d w"},
    {"tempo", "t >en p w"}, {"agora", "a g >oo r @"}, {"sempre", "s >en p r y"},
    {"nunca", "n >un k @"}, {"depois", "d e p >o y s2"}, {"antes", ">an tx y s2"},
    {"cedo", "s >e d w"}, {"muito", "m >un y t w"}, {"pouco", "p >o k w"}, {"mais", "m >a y s2"},
    {"menos", "m >e n w s2"}, {"bem", "b >en y"}, {"mal", "m >a w"}, {"bom", "b >on"},
    {"boa", "b >o @"}, {"ruim", "rr u >in"}, {"grande", "g r >an dj y"},
    {"pequeno", "p e k >e n w"}, {"novo", "n >o v w"}, {"velho", "v >ee lh w"},
    {"bonito", "b o n >i t w"}, {"feio", "f >e y w"}, {"alto", ">a w t w"},
    {"baixo", "b >a y x w"}, {"forte", "f >oo r2 tx y"}, {"fraco", "f r >a k w"},
    {"quente", "k >en tx y"}, {"frio", "f r >i w"}, {"rápido", "rr >a p i d w"},
    {"devagar", "d e v a g >a r2"}, {"fácil", "f >a s i w"}, {"difícil", "dj i f >i s i w"},
    {"certo", "s >ee r2 t w"}, {"errado", "e rr >a d w"}, {"verdade", "v e r2 d >a dj y"},
    {"mentira", "m en tx >i r @"}, {"homem", ">o m en y"}, {"mulher", "m u lh >ee r2"},
    {"menino", "m e n >i n w"}, {"menina", "m e n >i n @"}, {"criança", "k r i >an s @"},
    {"pai", "p >a y"}, {"mãe", "m >an y"}, {"filho", "f >i lh w"}, {"filha", "f >i lh @"},
    {"irmão", "i r2 m >an w"}, {"irmã", "i r2 m >an"}, {"avô", "a v >o"}, {"avó", "a v >oo"},
    {"tio", "tx >i w"}, {"tia", "tx >i @"}, {"amigo", "a m >i g w"}, {"amiga", "a m >i g @"},
    {"família", "f a m >i l i @"}, {"pessoa", "p e s >o @"}, {"gente", "j >en tx y"},
    {"nome", "n >o m y"}, {"coração", "k o r a s >an w"}, {"cabeça", "k a b >e s @"},
    {"olho", ">o lh w"}, {"olhos", ">oo lh w s2"}, {"boca", "b >o k @"}, {"nariz", "n a r >i s2"},
    {"orelha", "o r >e lh @"}, {"mão", "m >an w"}, {"mãos", "m >an w s2"}, {"pé", "p ee"},
    {"perna", "p >ee r2 n @"}, {"braço", "b r >a s w"}, {"corpo", "k >o r2 p w"},
    {"dente", "d >en tx y"}, {"cabelo", "k a b >e l w"}, {"saúde", "s a >u dj y"},
    {"médico", "m >ee dj i k w"}, {"hospital", "o s2 p i t >a w"},
    {"remédio", "rr e m >ee dj i w"}, {"doente", "d o >en tx y"}, {"trabalho", "t r a b >a lh w"},
    {"dinheiro", "dj i nh >e y r w"}, {"banco", "b >an k w"}, {"loja", "l >oo j @"},
    {"mercado", "m e r2 k >a d w"}, {"rua", "rr >u @"}, {"estrada", "e s2 t r >a d @"},
    {"caminho", "k a m >i nh w"}, {"viagem", "v i >a j en y"}, {"ônibus", ">o n i b u s2"},
    {"avião", "a v i >an w"}, {"trem", "t r >en y"}, {"bicicleta", "b i s i k l >ee t @"},
    {"cavalo", "k a v >a l w"}, {"vaca", "v >a k @"}, {"porco", "p >o r2 k w"},
    {"pássaro", "p >a s a r w"}, {"peixes", "p >e y x y s2"}, {"cor", "k >o r2"},
    {"branco", "b r >an k w"}, {"preto", "p r >e t w"}, {"vermelho", "v e r2 m >e lh w"},
    {"azul", "a z >u w"}, {"verde", "v >e r2 dj y"}, {"amarelo", "a m a r >ee l w"},
    {"roupa", "rr >o p @"}, {"camisa", "k a m >i z @"}, {"sapato", "s a p >a t w"},
    {"chapéu", "x a p >ee w"}, {"chave", "x >a v y"}, {"chuva", "x >u v @"},
    {"vento", "v >en t w"}, {"neve", "n >ee v y"}, {"nuvem", "n >u v en y"},
    {"calor", "k a l >o r2"}, {"inverno", "in v >ee r2 n w"}, {"verão", "v e r >an w"},
    {"música", "m >u z i k @"}, {"canção", "k an s >an w"}, {"festa", "f >ee s2 t @"},
    {"jogo", "j >o g w"}, {"futebol", "f u t e b >oo w"}, {"bola", "b >oo l @"},
    {"time", "tx >i m y"}, {"cinema", "s i n >e m @"}, {"filme", "f >i w m y"},
    {"história", "i s2 t >oo r i @"}, {"palavra", "p a l >a v r @"}, {"língua", "l >in g w @"},
    {"português", "p o r2 t u g >e s2"}, {"brasil", "b r a z >i w"},
    {"brasileiro", "b r a z i l >e y r w"}, {"escrever", "e s2 k r e v >e r2"}, {"ler", "l >e r2"},
    {"falar", "f a l >a r2"}, {"ouvir", "o v >i r2"}, {"ver", "v >e r2"}, {"olhar", "o lh >a r2"},
    {"comer", "k o m >e r2"}, {"beber", "b e b >e r2"}, {"dormir", "d o r2 m >i r2"},
    {"acordar", "a k o r2 d >a r2"}, {"andar", "an d >a r2"}, {"correr", "k o rr >e r2"},
    {"pular", "p u l >a r2"}, {"nadar", "n a d >a r2"}, {"cantar", "k an t >a r2"},
    {"dançar", "d an s >a r2"}, {"trabalhar", "t r a b a lh >a r2"},
    {"estudar", "e s2 t u d >a r2"}, {"aprender", "a p r en d >e r2"},
    {"ensinar", "en s i n >a r2"}, {"saber", "s a b >e r2"}, {"conhecer", "k o nh e s >e r2"},
    {"pensar", "p en s >a r2"}, {"querer", "k e r >e r2"}, {"gostar", "g o s2 t >a r2"},
    {"amar", "a m >a r2"}, {"viver", "v i v >e r2"}, {"morrer", "m o rr >e r2"},
    {"nascer", "n a s >e r2"}, {"abrir", "a b r >i r2"}, {"fechar", "f e x >a r2"},
    {"começar", "k o m e s >a r2"}, {"terminar", "t e r2 m i n >a r2"}, {"chegar", "x e g >a r2"},
    {"sair", "s a >i r2"}, {"entrar", "en t r >a r2"}, {"voltar", "v o w t >a r2"},
    {"ficar", "f i k >a r2"}, {"dar", "d >a r2"}, {"receber", "rr e s e b >e r2"},
    {"comprar", "k on p r >a r2"}, {"vender", "v en d >e r2"}, {"pagar", "p a g >a r2"},
    {"perguntar", "p e r2 g un t >a r2"}, {"responder", "rr e s2 p on d >e r2"},
    {"ajudar", "a j u d >a r2"}, {"precisar", "p r e s i z >a r2"},
    {"esperar", "e s2 p e r >a r2"}, {"encontrar", "en k on t r >a r2"},
    {"procurar", "p r o k u r >a r2"}, {"perder", "p e r2 d >e r2"}, {"ganhar", "g a nh >a r2"},
    {"jogar", "j o g >a r2"}, {"ligar", "l i g >a r2"}, {"desligar", "d e s2 l i g >a r2"},
    {"microfone", "m i k r o f >o n y"}, {"teste", "t >ee s2 tx y"}, {"som", "s >on"},
    {"volume", "v o l >u m y"}, {"nível", "n >i v e w"}, {"ruído", "rr u >i d w"},
    {"ambiente", "an b i >en tx y"}, {"voz", "v >oo s2"}, {"fala", "f >a l @"},
    {"tecla", "t >ee k l @"}, {"sim", "s in"}, {"não", "n an w"}, {"obrigado", "o b r i g >a d w"},
    {"obrigada", "o b r i g >a d @"}, {"por", "p o r2"}, {"favor", "f a v >o r2"},
    {"olá", "o l >a"}, {"tchau", "tx >a w"}, {"desculpe", "d e s2 k >u w p y"},
    {"licença", "l i s >en s @"}, {"senhor", "s e nh >o r2"}, {"senhora", "s e nh >oo r @"},
    {"você", "v o s >e"}, {"nós", "n >oo s2"}, {"eles", ">e l y s2"}, {"ele", ">e l y"},
    {"ela", ">ee l @"}, {"isso", ">i s w"}, {"aquilo", "a k >i l w"}, {"este", ">e s2 tx y"},
    {"esse", ">e s y"}, {"aqui", "a k >i"}, {"ali", "a l >i"}, {"onde", ">on dj y"},
    {"quando", "k w >an d w"}, {"como", "k >o m w"}, {"porque", "p o r2 k >e"},
    {"quem", "k >en y"}, {"qual", "k w >a w"}, {"quanto", "k w >an t w"}, {"nada", "n >a d @"},
    {"tudo", "t >u d w"}, {"todo", "t >o d w"}, {"cada", "k >a d @"}, {"outro", ">o t r w"},
    {"mesmo", "m >e s2 m w"}, {"também", "t an b >en y"}, {"ainda", "a >in d @"}, {"já", "j a"},
    {"então", "en t >an w"}, {"talvez", "t a w v >e s2"}, {"um", "un"}, {"dois", "d >o y s2"},
    {"três", "t r >e s2"}, {"quatro", "k w >a t r w"}, {"cinco", "s >in k w"},
    {"seis", "s >e y s2"}, {"sete", "s >ee tx y"}, {"oito", ">o y t w"}, {"nove", "n >oo v y"},
    {"dez", "d >ee s2"}, {"cem", "s >en y"}, {"mil", "m >i w"}, {"primeiro", "p r i m >e y r w"},
    {"último", ">u w tx i m w"}, {"lado", "l >a d w"}, {"frente", "f r >en tx y"},
    {"meio", "m >e y w"}, {"fim", "f >in"}, {"começo", "k o m >e s w"}, {"parte", "p >a r2 tx y"},
    {"coisa", "k >o y z @"}, {"lugar", "l u g >a r2"}, {"problema", "p r o b l >e m @"},
    {"pergunta", "p e r2 g >un t @"}, {"resposta", "rr e s2 p >oo s2 t @"},
    {"exemplo", "e z >en p l w"}, {"número", "n >u m e r w"}, {"letra", "l >e t r @"},
    {"sinal", "s i n >a w"}, {"medição", "m e dj i s >an w"}, {"resultado", "rr e z u w t >a d w"},
    {"gravação", "g r a v a s >an w"}, {"silêncio", "s i l >en s i w"},
    {"normal", "n o r2 m >a w"}, {"ótimo", ">oo tx i m w"}, {"excelente", "e s e l >en tx y"},
    {"possível", "p o s >i v e w"}, {"igual", "i g w >a w"}, {"diferente", "dj i f e r >en tx y"},
    {"importante", "in p o r2 t >an tx y"}, {"necessário", "n e s e s >a r i w"},
    {"simples", "s >in p l y s2"}, {"feliz", "f e l >i s2"}, {"triste", "t r >i s2 tx y"},
    {"cansado", "k an s >a d w"}, {"pronto", "p r >on t w"}, {"livre", "l >i v r y"},
    {"junto", "j >un t w"}, {"sozinho", "s o z >i nh w"}, {"muita", "m >un y t @"},
    {"exame", "e z >a m y"}, {"texto", "t >e s2 t w"}, {"táxi", "t >a k s i"},
    {"próximo", "p r >oo s i m w"}, {"chá", "x >a"}, {"chegada", "x e g >a d @"},
    {"ninho", "n >i nh w"}, {"galho", "g >a lh w"}, {"filhos", "f >i lh w s2"},
    {"quase", "k w >a z y"}, {"guerra", "g >ee rr @"}, {"quilo", "k >i l w"},
    {"seguir", "s e g >i r2"}, {"pinto", "p >in t w"}, {"ponte", "p >on tx y"},
    {"conta", "k >on t @"}, {"fundo", "f >un d w"}, {"canto", "k >an t w"},
    {"pente", "p >en tx y"}, {"homens", ">o m en y s2"}, {"põe", "p >on y"},
    {"lições", "l i s >on y s2"}, {"honra", ">on rr @"}, {"cidades", "s i d >a dj y s2"},
    {"pessoas", "p e s >o @ s2"}, {"cheio", "x >e y w"}, {"ideia", "i d >ee y @"},
    {"lâmpada", "l >an p a d @"}, {"exato", "e z >a t w"}, {"exército", "e z >ee r2 s i t w"},
    {"máximo", "m >a s i m w"}, {"sexta", "s >e s2 t @"}, {"fixo", "f >i k s w"},
    {"hotel", "o t >ee w"}, {"jovem", "j >o v en y"}, {"jovens", "j >o v en y s2"},
    {"imagem", "i m >a j en y"}, {"imagens", "i m >a j en y s2"}, {"ordem", ">o r2 d en y"},
    {"origem", "o r >i j en y"}, {"viagens", "v i >a j en y s2"},
    {"dificuldade", "dj i f i k u w d >a dj y"}, {"felicidade", "f e l i s i d >a dj y"},
    {"universidade", "u n i v e r2 s i d >a dj y"}, {"pesquisa", "p e s2 k >i z @"},
    {"empresa", "en p r >e z @"}, {"governo", "g o v >e r2 n w"},
    {"presidente", "p r e z i d >en tx y"}, {"economia", "e k o n o m >i @"},
    {"sociedade", "s o s i e d >a dj y"}, {"ciência", "s i >en s i @"},
    {"tecnologia", "t e k n o l o j >i @"}, {"informação", "in f o r2 m a s >an w"},
    {"comunicação", "k o m u n i k a s >an w"}, {"educação", "e d u k a s >an w"},
    {"segurança", "s e g u r >an s @"}, {"polícia", "p o l >i s i @"},
    {"notícia", "n o tx >i s i @"}, {"jornal", "j o r2 n >a w"}, {"revista", "rr e v >i s2 t @"},
    {"programa", "p r o g r >a m @"}, {"sistema", "s i s2 t >e m @"},
    {"serviço", "s e r2 v >i s w"}, {"produto", "p r o d >u t w"}, {"preço", "p r >e s w"},
    {"valor", "v a l >o r2"}, {"qualidade", "k w a l i d >a dj y"}, {"energia", "e n e r2 j >i @"},
    {"natureza", "n a t u r >e z @"}, {"animal", "a n i m >a w"}, {"animais", "a n i m >a y s2"},
    {"planeta", "p l a n >e t @"}, {"espaço", "e s2 p >a s w"}, {"futuro", "f u t >u r w"},
    {"passado", "p a s >a d w"}, {"presente", "p r e z >en tx y"}, {"momento", "m o m >en t w"},
    {"vez", "v >e s2"}, {"vezes", "v >e z y s2"}, {"forma", "f >oo r2 m @"},
    {"maneira", "m a n >e y r @"}, {"jeito", "j >e y t w"}, {"razão", "rr a z >an w"},
    {"opinião", "o p i n i >an w"}, {"questão", "k e s2 t >an w"}, {"assunto", "a s >un t w"},
    {"situação", "s i t u a s >an w"}, {"condição", "k on dj i s >an w"},
    {"posição", "p o z i s >an w"}, {"direção", "dj i r e s >an w"},
    {"distância", "dj i s2 t >an s i @"}, {"velocidade", "v e l o s i d >a dj y"},
    {"altura", "a w t >u r @"}, {"peso", "p >e z w"}, {"tamanho", "t a m >a nh w"},
    {"quantidade", "k w an tx i d >a dj y"}, {"metade", "m e t >a dj y"}, {"dobro", "d >o b r w"},
    {"centro", "s >en t r w"}, {"interior", "in t e r i >o r2"},
    {"exterior", "e s2 t e r i >o r2"}, {"dentro", "d >en t r w"}, {"acima", "a s >i m @"},
    {"abaixo", "a b >a y x w"}, {"embaixo", "en b >a y x w"}, {"longe", "l >on j y"},
    {"através", "a t r a v >ee s2"}, {"durante", "d u r >an tx y"}, {"contra", "k >on t r @"},
    {"sobre", "s >o b r y"}, {"entre", ">en t r y"}, {"sem", "s >en y"}, {"até", "a t >ee"},
    {"desde", "d >e s2 dj y"}, {"para", "p >a r @"}, {"pelo", "p >e l w"}, {"pela", "p >e l @"},
    {"numa", "n >u m @"}, {"dessa", "d >e s @"}, {"nesse", "n >e s y"}, {"aquela", "a k >ee l @"},
    {"qualquer", "k w a w k >ee r2"}, {"nenhum", "n e nh >un"}, {"nenhuma", "n e nh >u m @"},
    {"algum", "a w g >un"}, {"alguma", "a w g >u m @"}, {"alguém", "a w g >en y"},
    {"ninguém", "n in g >en y"}, {"todos", "t >o d w s2"}, {"todas", "t >o d @ s2"},
    {"vários", "v >a r i w s2"}, {"poucos", "p >o k w s2"}, {"muitos", "m >un y t w s2"},
    {"outros", ">o t r w s2"}, {"mesma", "m >e s2 m @"}, {"própria", "p r >oo p r i @"},
    {"alegre", "a l >ee g r y"}, {"calmo", "k >a w m w"}, {"nervoso", "n e r2 v >o z w"},
    {"medo", "m >e d w"}, {"raiva", "rr >a y v @"}, {"amor", "a m >o r2"}, {"paz", "p >a s2"},
    {"vida", "v >i d @"}, {"morte", "m >oo r2 tx y"}, {"sonho", "s >o nh w"},
    {"desejo", "d e z >e j w"}, {"esperança", "e s2 p e r >an s @"}, {"fé", "f ee"},
    {"deus", "d >e w s2"}, {"igreja", "i g r >e j @"}, {"aula", ">a w l @"},
    {"prova", "p r >oo v @"}, {"exercício", "e z e r2 s >i s i w"}, {"lição", "l i s >an w"},
    {"livros", "l >i v r w s2"}, {"gosto", "g >o s2 t w"}, {"gostei", "g o s2 t >e y"},
    {"fazer", "f a z >e r2"}, {"feito", "f >e y t w"}, {"disse", "dj >i s y"},
    {"dizer", "dj i z >e r2"}, {"poder", "p o d >e r2"}, {"posso", "p >oo s w"},
    {"pode", "p >oo dj y"}, {"quero", "k >ee r w"}, {"estou", "e s2 t >o"},
    {"estava", "e s2 t >a v @"}, {"tenho", "t >e nh w"}, {"temos", "t >e m w s2"},
    {"vamos", "v >a m w s2"}, {"somos", "s >o m w s2"}, {"eram", ">ee r an w"},
    {"foram", "f >o r an w"}, {"seria", "s e r >i @"}, {"teria", "t e r >i @"},
    {"faria", "f a r >i @"}, {"sabia", "s a b >i @"}, {"queria", "k e r >i @"},
    {"precisa", "p r e s >i z @"}, {"existe", "e z >i s2 tx y"}, {"acho", ">a x w"},
    {"fica", "f >i k @"}, {"deixa", "d >e y x @"}, {"parece", "p a r >e s y"},
    {"chama", "x >a m @"}, {"leva", "l >ee v @"}, {"traz", "t r >a s2"},
    {"coloca", "k o l >oo k @"}, {"usa", ">u z @"}, {"mostra", "m >oo s2 t r @"},
    {"cozinha", "k o z >i nh @"}, {"banheiro", "b a nh >e y r w"}, {"quarto", "k w >a r2 t w"},
    {"sala", "s >a l @"}, {"janelas", "j a n >ee l @ s2"}, {"telhado", "t e lh >a d w"},
    {"parede", "p a r >e dj y"}, {"chão", "x >an w"}, {"escada", "e s2 k >a d @"},
    {"elevador", "e l e v a d >o r2"}, {"apartamento", "a p a r2 t a m >en t w"},
    {"prédio", "p r >ee dj i w"}, {"bairro", "b >a y rr w"}, {"vizinho", "v i z >i nh w"},
    {"cachorros", "k a x >o rr w s2"}, {"galinha", "g a l >i nh @"}, {"coelho", "k o >e lh w"},
    {"macaco", "m a k >a k w"}, {"leão", "l e >an w"}, {"tigre", "tx >i g r y"},
    {"elefante", "e l e f >an tx y"}, {"cobra", "k >oo b r @"}, {"sapo", "s >a p w"},
    {"abelha", "a b >e lh @"}, {"formiga", "f o r2 m >i g @"}, {"mosquito", "m o s2 k >i t w"},
    {"borboleta", "b o r2 b o l >e t @"}, {"tartaruga", "t a r2 t a r >u g @"},
    {"baleia", "b a l >e y @"}, {"golfinho", "g o w f >i nh w"}, {"tubarão", "t u b a r >an w"},
    {"camelo", "k a m >e l w"}, {"girafa", "j i r >a f @"}, {"zebra", "z >e b r @"},
    {"urso", ">u r2 s w"}, {"lobo", "l >o b w"}, {"raposa", "rr a p >o z @"},
    {"coruja", "k o r >u j @"}, {"pombo", "p >on b w"}, {"cavalos", "k a v >a l w s2"},
    {"ovelha", "o v >e lh @"}, {"cabra", "k >a b r @"}, {"boi", "b >o y"}, {"touro", "t >o r w"},
    {"rato", "rr >a t w"}, {"pato", "p >a t w"}, {"peru", "p e r >u"}, {"galo", "g >a l w"},
    {"professora", "p r o f e s >o r @"}, {"diretor", "dj i r e t >o r2"},
    {"secretária", "s e k r e t >a r i @"}, {"engenheiro", "en j e nh >e y r w"},
    {"advogado", "a d v o g >a d w"}, {"enfermeira", "en f e r2 m >e y r @"},
    {"motorista", "m o t o r >i s2 t @"}, {"cozinheiro", "k o z i nh >e y r w"},
    {"garçom", "g a r2 s >on"}, {"vendedor", "v en d e d >o r2"}, {"policial", "p o l i s i >a w"},
    {"bombeiro", "b on b >e y r w"}, {"carteiro", "k a r2 t >e y r w"},
    {"pedreiro", "p e d r >e y r w"}, {"pintor", "p in t >o r2"}, {"cantor", "k an t >o r2"},
    {"ator", "a t >o r2"}, {"atriz", "a t r >i s2"}, {"escritor", "e s2 k r i t >o r2"},
    {"jornalista", "j o r2 n a l >i s2 t @"}, {"fotógrafo", "f o t >oo g r a f w"},
    {"piloto", "p i l >o t w"}, {"soldado", "s o w d >a d w"}, {"juiz", "j u >i s2"},
    {"rei", "rr >e y"}, {"rainha", "rr a >i nh @"}, {"príncipe", "p r >in s i p y"},
    {"princesa", "p r in s >e z @"}, {"herói", "e r >oo y"}, {"fantasma", "f an t >a s2 m @"},
    {"monstro", "m >on s2 t r w"}, {"bruxa", "b r >u x @"}, {"fada", "f >a d @"},
    {"dragão", "d r a g >an w"}, {"castelo", "k a s2 t >ee l w"}, {"tesouro", "t e z >o r w"},
    {"mapa", "m >a p @"}, {"ilha", ">i lh @"}, {"lago", "l >a g w"}, {"oceano", "o s e >a n w"},
    {"deserto", "d e z >ee r2 t w"}, {"floresta", "f l o r >ee s2 t @"}, {"campo", "k >an p w"},
    {"fazenda", "f a z >en d @"}, {"jardim", "j a r2 dj >in"}, {"parque", "p >a r2 k y"},
    {"praça", "p r >a s @"}, {"túnel", "t >u n e w"}, {"igrejas", "i g r >e j @ s2"},
    {"museu", "m u z >e w"}, {"teatro", "t e >a t r w"}, {"biblioteca", "b i b l i o t >ee k @"},
    {"farmácia", "f a r2 m >a s i @"}, {"padaria", "p a d a r >i @"}, {"açougue", "a s >o g y"},
    {"supermercado", "s u p e r2 m e r2 k >a d w"}, {"restaurante", "rr e s2 t a w r >an tx y"},
    {"lanchonete", "l an x o n >ee tx y"}, {"sorvete", "s o r2 v >e tx y"}, {"bolo", "b >o l w"},
    {"biscoito", "b i s2 k >o y t w"}, {"chocolate", "x o k o l >a tx y"},
    {"pipoca", "p i p >oo k @"}, {"salada", "s a l >a d @"}, {"tomate", "t o m >a tx y"},
    {"cebola", "s e b >o l @"}, {"alho", ">a lh w"}, {"batata", "b a t >a t @"},
    {"cenoura", "s e n >o r @"}, {"alface", "a w f >a s y"}, {"pimenta", "p i m >en t @"},
    {"azeite", "a z >e y tx y"}, {"vinagre", "v i n >a g r y"}, {"manga", "m >an g @"},
    {"abacaxi", "a b a k a x >i"}, {"melancia", "m e l an s >i @"}, {"morango", "m o r >an g w"},
    {"pera", "p >e r @"}, {"maçãs", "m a s >an s2"}, {"limões", "l i m >on y s2"},
};

class PronunciationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(aravo::LoadLetterRules(std::string(ARAVO_DATA_DIR) + "/portug.nrl"));
    ASSERT_TRUE(aravo::LoadExceptionLexicon(std::string(ARAVO_DATA_DIR) + "/portug.exc"));
  }
  void TearDown() override { aravo::FreeLetterRules(); }

  // The word's phoneme lines through the phonetic stage, joined by blanks.
  static std::string Phonemes(const std::string& word) {
    const std::vector<std::string> lines = aravo::TranscribeItems({"555|" + word});
    std::string joined;
    for (std::size_t i = 1; i < lines.size() && !lines[i].empty(); ++i) {
      std::string phoneme = lines[i];
      const std::size_t mark = phoneme.find('\xA8');
      if (mark != std::string::npos) phoneme.erase(mark, 1);
      if (!joined.empty()) joined += ' ';
      joined += phoneme;
    }
    return joined;
  }
};

TEST_F(PronunciationTest, AtLeastNinetyFivePercentOfCommonWordsAreRight) {
  const std::size_t total = std::size(kPronunciations);
  ASSERT_GE(total, 300u);
  std::size_t right = 0;
  for (const Pronunciation& row : kPronunciations) {
    const std::string got = Phonemes(row.word);
    if (got == row.phonemes) {
      ++right;
    } else {
      std::printf("  %-16s expected [%s], got [%s]\n", row.word, row.phonemes, got.c_str());
    }
  }
  std::printf("  %zu of %zu words right (%.1f %%)\n", right, total, 100.0 * right / total);
  EXPECT_GE(right * 100, total * 95);
}

}  // namespace
