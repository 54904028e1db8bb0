#include "mappack/setupmessages.h"

#include "core/common.h"

#include <iterator>

namespace tervelle {

namespace {

// The messages the script's code shows, in the order each language lists them. The first seven
// are the installer's own from its first version; their English and Russian lines stay as they
// were, blank before the value included, which the compiler keeps as part of the text. Every other
// line has none: a shortcut's name must not start with a blank.
const char *const MessageKeys[] = {
    "CopyingFiles",  "CopyingFilesLong", "Backup",          "BackupLong",   "WormsNotFound",    "LauncherNotFound",
    "Progress",      "CopyFailed",       "BackupFailed",    "FolderFailed", "NothingInstalled", "RecordFailed",
    "FilesLeft",     "ReadyPack",        "ReadyAuthor",     "ReadyWhere",   "ReadyGame",        "ReadyLauncher",
    "ReadyNotFound", "MapsReady",        "PackInformation",
};
constexpr std::size_t MessageCount = std::size(MessageKeys);
constexpr std::size_t FirstVersionMessages = 7;

// Stands in a LauncherNotFound text for the page where the launcher can be had.
const QLatin1String DownloadPage("<download>");

struct LanguageMessages
{
    const char *language;
    const char *texts[MessageCount];
};

// clang-format off
const LanguageMessages English = {"english", {
    "Copying files to Worms 4 Mayhem directory",
    "All needed files will be copyed to Worms 4 Mayhem directory and to Quorvane.",
    "Select files to copy and backup",
    "If you have some changed files, you should select to replace these files with standart files. You can also backup them",
    "Worms 4 Mayhem not found",
    "Quorvane not found. Visit <download>",
    "Copying file",
    "The file %1 could not be written: %2",
    "The file %1 was not replaced, because its backup %2 could not be written: %3",
    "The folder %1 could not be created: %2",
    "Nothing was installed: every file copied so far has been put back as it was.",
    "The list of installed files %1 could not be written, so uninstalling will not remove the map pack's files.",
    "These files (%1) changed after the map pack installed them and were left in place:",
    "Map pack:",
    "Author:",
    "Files to install:",
    "Game folder: %2 (files: %1)",
    "Quorvane map lists: %2 (files: %1)",
    "(not found)",
    "The maps of %1 are installed and ready to play in Worms 4 Mayhem.",
    "About %1",
}};

const LanguageMessages Russian = {"russian", {
    "Копирование файлов в папку Worms 4 Mayhem",
    "Все нужные файлы будут скопированы в папку Worms 4 Mayhem и в Quorvane.",
    "Выберите файлы, которые необходима заменить и сохранить",
    "Если некотрые файлы были изменены, то вам следует заменить их стандартными для поддержки нормальной онлайн игры. Также вы можете сохранить старые файлы.",
    "Не найдена игра Worms 4 Mayhem",
    "Не найдено приложение Quorvane. Посетите сайт <site>, чтобы узнать больше",
    "Копируется файл",
    "Не удалось записать файл %1: %2",
    "Файл %1 не заменён: не удалось сохранить его резервную копию %2: %3",
    "Не удалось создать папку %1: %2",
    "Ничего не установлено: все уже скопированные файлы возвращены в прежнее состояние.",
    "Не удалось записать список установленных файлов %1, поэтому при удалении файлы набора карт не будут удалены.",
    "Эти файлы (%1) изменились после установки набора карт и оставлены на месте:",
    "Набор карт:",
    "Автор:",
    "Будут установлены файлы:",
    "Папка игры: %2 (файлов: %1)",
    "Списки карт Quorvane: %2 (файлов: %1)",
    "(не найдена)",
    "Карты набора %1 установлены, и в них уже можно играть в Worms 4 Mayhem.",
    "О наборе карт %1",
}};

const LanguageMessages Armenian = {"armenian", {
    "Ֆայլերը պատճենվում են Worms 4 Mayhem-ի թղթապանակ",
    "Բոլոր անհրաժեշտ ֆայլերը կպատճենվեն Worms 4 Mayhem-ի թղթապանակ և Quorvane։",
    "Ընտրեք պատճենվող և պահուստավորվող ֆայլերը",
    "Եթե որոշ ֆայլեր փոխել եք, խորհուրդ է տրվում դրանք փոխարինել բնօրինակ ֆայլերով։ Կարող եք նաև դրանց պահուստային պատճենը պահել։",
    "Worms 4 Mayhem-ը չի գտնվել։",
    "Quorvane-ը չի գտնվել։ Այցելեք <download>",
    "Պատճենվում է ֆայլը",
    "Չհաջողվեց գրել %1 ֆայլը՝ %2",
    "%1 ֆայլը չի փոխարինվել, քանի որ չհաջողվեց գրել դրա պահուստային պատճենը՝ %2՝ %3",
    "Չհաջողվեց ստեղծել %1 թղթապանակը՝ %2",
    "Ոչինչ չի տեղադրվել. արդեն պատճենված բոլոր ֆայլերը վերադարձվել են նախկին վիճակին։",
    "Չհաջողվեց գրել տեղադրված ֆայլերի ցանկը՝ %1, ուստի ապատեղադրումը չի հեռացնի քարտեզների փաթեթի ֆայլերը։",
    "Այս ֆայլերը (%1) փոխվել են քարտեզների փաթեթի տեղադրումից հետո և թողնվել են իրենց տեղում՝",
    "Քարտեզների փաթեթ՝",
    "Հեղինակ՝",
    "Տեղադրվող ֆայլեր՝",
    "Խաղի թղթապանակ՝ %2 (ֆայլեր՝ %1)",
    "Quorvane-ի քարտեզների ցանկեր՝ %2 (ֆայլեր՝ %1)",
    "(չի գտնվել)",
    "%1-ի քարտեզները տեղադրված են և պատրաստ են խաղալու Worms 4 Mayhem-ում։",
    "%1-ի մասին",
}};

const LanguageMessages BrazilianPortuguese = {"brazilianportuguese", {
    "Copiando arquivos para a pasta do Worms 4 Mayhem",
    "Todos os arquivos necessários serão copiados para a pasta do Worms 4 Mayhem e para o Quorvane.",
    "Selecione os arquivos para copiar e fazer backup",
    "Se você alterou alguns arquivos, é recomendável substituí-los pelos arquivos originais. Você também pode fazer backup deles.",
    "O Worms 4 Mayhem não foi encontrado.",
    "O Quorvane não foi encontrado. Visite <download>",
    "Copiando o arquivo",
    "Não foi possível gravar o arquivo %1: %2",
    "O arquivo %1 não foi substituído porque não foi possível gravar o backup %2: %3",
    "Não foi possível criar a pasta %1: %2",
    "Nada foi instalado: todos os arquivos já copiados voltaram a ser como eram.",
    "Não foi possível gravar a lista de arquivos instalados %1, por isso a desinstalação não removerá os arquivos do pacote de mapas.",
    "Estes arquivos (%1) foram alterados depois que o pacote de mapas os instalou e foram mantidos no lugar:",
    "Pacote de mapas:",
    "Autor:",
    "Arquivos a instalar:",
    "Pasta do jogo: %2 (arquivos: %1)",
    "Listas de mapas do Quorvane: %2 (arquivos: %1)",
    "(não encontrada)",
    "Os mapas de %1 estão instalados e prontos para jogar no Worms 4 Mayhem.",
    "Sobre %1",
}};

const LanguageMessages Catalan = {"catalan", {
    "S'estan copiant els fitxers a la carpeta del Worms 4 Mayhem",
    "Tots els fitxers necessaris es copiaran a la carpeta del Worms 4 Mayhem i al Quorvane.",
    "Seleccioneu els fitxers que voleu copiar i desar",
    "Si heu modificat alguns fitxers, és recomanable substituir-los pels originals. També en podeu fer una còpia de seguretat.",
    "No s'ha trobat el Worms 4 Mayhem.",
    "No s'ha trobat el Quorvane. Visiteu <download>",
    "S'està copiant el fitxer",
    "No s'ha pogut escriure el fitxer %1: %2",
    "No s'ha substituït el fitxer %1 perquè no s'ha pogut escriure la seva còpia de seguretat %2: %3",
    "No s'ha pogut crear la carpeta %1: %2",
    "No s'ha instal·lat res: tots els fitxers copiats fins ara han tornat a l'estat anterior.",
    "No s'ha pogut escriure la llista de fitxers instal·lats %1, de manera que la desinstal·lació no suprimirà els fitxers del paquet de mapes.",
    "Aquests fitxers (%1) han canviat després que el paquet de mapes els instal·lés i s'han deixat on eren:",
    "Paquet de mapes:",
    "Autor:",
    "Fitxers que s'instal·laran:",
    "Carpeta del joc: %2 (fitxers: %1)",
    "Llistes de mapes del Quorvane: %2 (fitxers: %1)",
    "(no s'ha trobat)",
    "Els mapes de %1 estan instal·lats i a punt per jugar al Worms 4 Mayhem.",
    "Quant a %1",
}};

const LanguageMessages Corsican = {"corsican", {
    "Copia di i schedarii in u cartulare di Worms 4 Mayhem",
    "Tutti i schedarii necessarii saranu copiati in u cartulare di Worms 4 Mayhem è in Quorvane.",
    "Sceglite i schedarii à cupià è à salvà",
    "S'è vo avete mudificatu certi schedarii, ci vole à rimpiazzalli cù i schedarii d'origine. Pudete dinù fà ne una copia di salvezza.",
    "Worms 4 Mayhem ùn hè micca statu trovu.",
    "Quorvane ùn hè micca statu trovu. Visitate <download>",
    "Copia di u schedariu",
    "Ùn si pò micca scrive u schedariu %1 : %2",
    "U schedariu %1 ùn hè micca statu rimpiazzatu, chì a so copia di salvezza %2 ùn s'hè pussuta scrive : %3",
    "Ùn si pò micca creà u cartulare %1 : %2",
    "Nunda hè statu installatu : tutti i schedarii digià copiati sò stati rimessi cum'elli eranu.",
    "Ùn si pò micca scrive a lista di i schedarii installati %1, allora a disinstallazione ùn caccierà micca i schedarii di u pacchettu di carte.",
    "Sti schedarii (%1) sò stati cambiati dopu à l'installazione di u pacchettu di carte è sò stati lasciati à u so postu :",
    "Pacchettu di carte :",
    "Autore :",
    "Schedarii à installà :",
    "Cartulare di u ghjocu : %2 (schedarii : %1)",
    "Liste di carte di Quorvane : %2 (schedarii : %1)",
    "(micca trovu)",
    "E carte di %1 sò installate è pronte per ghjucà in Worms 4 Mayhem.",
    "À prupositu di %1",
}};

const LanguageMessages Czech = {"czech", {
    "Kopírování souborů do složky hry Worms 4 Mayhem",
    "Všechny potřebné soubory budou zkopírovány do složky hry Worms 4 Mayhem a do Quorvane.",
    "Vyberte soubory ke kopírování a zálohování",
    "Pokud jste některé soubory změnili, měli byste je nahradit původními soubory. Můžete je také zálohovat.",
    "Hra Worms 4 Mayhem nebyla nalezena.",
    "Program Quorvane nebyl nalezen. Navštivte <download>",
    "Kopíruje se soubor",
    "Soubor %1 nelze zapsat: %2",
    "Soubor %1 nebyl nahrazen, protože jeho zálohu %2 nelze zapsat: %3",
    "Složku %1 nelze vytvořit: %2",
    "Nic nebylo nainstalováno: všechny dosud zkopírované soubory byly vráceny do původního stavu.",
    "Seznam nainstalovaných souborů %1 nelze zapsat, takže odinstalace soubory balíčku map neodstraní.",
    "Tyto soubory (%1) se po instalaci balíčku map změnily, a proto zůstaly na svém místě:",
    "Balíček map:",
    "Autor:",
    "Soubory k instalaci:",
    "Složka hry: %2 (souborů: %1)",
    "Seznamy map Quorvane: %2 (souborů: %1)",
    "(nenalezeno)",
    "Mapy z balíčku %1 jsou nainstalované a připravené ke hraní ve hře Worms 4 Mayhem.",
    "O balíčku %1",
}};

const LanguageMessages Danish = {"danish", {
    "Kopierer filer til mappen til Worms 4 Mayhem",
    "Alle nødvendige filer bliver kopieret til mappen til Worms 4 Mayhem og til Quorvane.",
    "Vælg filer, der skal kopieres og sikkerhedskopieres",
    "Hvis du har ændret nogle filer, bør du erstatte dem med de originale filer. Du kan også tage en sikkerhedskopi af dem.",
    "Worms 4 Mayhem blev ikke fundet.",
    "Quorvane blev ikke fundet. Besøg <download>",
    "Kopierer filen",
    "Filen %1 kunne ikke skrives: %2",
    "Filen %1 blev ikke erstattet, fordi dens sikkerhedskopi %2 ikke kunne skrives: %3",
    "Mappen %1 kunne ikke oprettes: %2",
    "Intet blev installeret: alle filer, der allerede var kopieret, er sat tilbage, som de var.",
    "Listen over installerede filer %1 kunne ikke skrives, så afinstallationen fjerner ikke banepakkens filer.",
    "Disse filer (%1) er ændret, efter at banepakken installerede dem, og blev ladt være:",
    "Banepakke:",
    "Forfatter:",
    "Filer, der installeres:",
    "Spilmappe: %2 (filer: %1)",
    "Banelister i Quorvane: %2 (filer: %1)",
    "(ikke fundet)",
    "Banerne i %1 er installeret og klar til at blive spillet i Worms 4 Mayhem.",
    "Om %1",
}};

const LanguageMessages Dutch = {"dutch", {
    "Bestanden kopiëren naar de map van Worms 4 Mayhem",
    "Alle benodigde bestanden worden gekopieerd naar de map van Worms 4 Mayhem en naar Quorvane.",
    "Kies de bestanden die gekopieerd en bewaard moeten worden",
    "Als u bestanden hebt gewijzigd, kunt u ze beter vervangen door de oorspronkelijke bestanden. U kunt er ook een reservekopie van maken.",
    "Worms 4 Mayhem is niet gevonden.",
    "Quorvane is niet gevonden. Ga naar <download>",
    "Bestand kopiëren",
    "Het bestand %1 kon niet worden geschreven: %2",
    "Het bestand %1 is niet vervangen, omdat de reservekopie %2 niet kon worden geschreven: %3",
    "De map %1 kon niet worden gemaakt: %2",
    "Er is niets geïnstalleerd: alle tot nu toe gekopieerde bestanden zijn teruggezet zoals ze waren.",
    "De lijst met geïnstalleerde bestanden %1 kon niet worden geschreven, dus bij het verwijderen worden de bestanden van het kaartenpakket niet verwijderd.",
    "Deze bestanden (%1) zijn gewijzigd nadat het kaartenpakket ze had geïnstalleerd en zijn blijven staan:",
    "Kaartenpakket:",
    "Auteur:",
    "Te installeren bestanden:",
    "Spelmap: %2 (bestanden: %1)",
    "Kaartlijsten van Quorvane: %2 (bestanden: %1)",
    "(niet gevonden)",
    "De kaarten van %1 zijn geïnstalleerd en klaar om te spelen in Worms 4 Mayhem.",
    "Over %1",
}};

const LanguageMessages Finnish = {"finnish", {
    "Kopioidaan tiedostoja Worms 4 Mayhemin kansioon",
    "Kaikki tarvittavat tiedostot kopioidaan Worms 4 Mayhemin kansioon ja Quorvaneen.",
    "Valitse kopioitavat ja varmuuskopioitavat tiedostot",
    "Jos olet muuttanut joitakin tiedostoja, ne kannattaa korvata alkuperäisillä. Voit myös varmuuskopioida ne.",
    "Worms 4 Mayhemia ei löytynyt.",
    "Quorvanea ei löytynyt. Käy osoitteessa <download>",
    "Kopioidaan tiedostoa",
    "Tiedostoa %1 ei voitu kirjoittaa: %2",
    "Tiedostoa %1 ei korvattu, koska sen varmuuskopiota %2 ei voitu kirjoittaa: %3",
    "Kansiota %1 ei voitu luoda: %2",
    "Mitään ei asennettu: kaikki jo kopioidut tiedostot on palautettu ennalleen.",
    "Asennettujen tiedostojen luetteloa %1 ei voitu kirjoittaa, joten asennuksen poisto ei poista karttapaketin tiedostoja.",
    "Nämä tiedostot (%1) muuttuivat karttapaketin asennuksen jälkeen, joten ne jätettiin paikalleen:",
    "Karttapaketti:",
    "Tekijä:",
    "Asennettavat tiedostot:",
    "Pelin kansio: %2 (tiedostoja: %1)",
    "Quorvanen karttaluettelot: %2 (tiedostoja: %1)",
    "(ei löytynyt)",
    "Paketin %1 kartat on asennettu, ja niitä voi pelata Worms 4 Mayhemissa.",
    "Tietoja: %1",
}};

const LanguageMessages French = {"french", {
    "Copie des fichiers dans le dossier de Worms 4 Mayhem",
    "Tous les fichiers nécessaires vont être copiés dans le dossier de Worms 4 Mayhem et dans Quorvane.",
    "Choisissez les fichiers à copier et à sauvegarder",
    "Si vous avez modifié certains fichiers, il est conseillé de les remplacer par les fichiers d'origine. Vous pouvez aussi les sauvegarder.",
    "Worms 4 Mayhem est introuvable.",
    "Quorvane est introuvable. Rendez-vous sur <download>",
    "Copie du fichier",
    "Impossible d'écrire le fichier %1 : %2",
    "Le fichier %1 n'a pas été remplacé, car sa sauvegarde %2 n'a pas pu être écrite : %3",
    "Impossible de créer le dossier %1 : %2",
    "Rien n'a été installé : tous les fichiers déjà copiés ont été remis dans leur état d'origine.",
    "Impossible d'écrire la liste des fichiers installés %1 : la désinstallation ne supprimera donc pas les fichiers du pack de cartes.",
    "Ces fichiers (%1) ont été modifiés après l'installation du pack de cartes et ont été laissés en place :",
    "Pack de cartes :",
    "Auteur :",
    "Fichiers à installer :",
    "Dossier du jeu : %2 (fichiers : %1)",
    "Listes de cartes de Quorvane : %2 (fichiers : %1)",
    "(introuvable)",
    "Les cartes de %1 sont installées et prêtes à être jouées dans Worms 4 Mayhem.",
    "À propos de %1",
}};

const LanguageMessages German = {"german", {
    "Dateien werden in den Ordner von Worms 4 Mayhem kopiert",
    "Alle benötigten Dateien werden in den Ordner von Worms 4 Mayhem und zu Quorvane kopiert.",
    "Dateien zum Kopieren und Sichern auswählen",
    "Wenn Sie Dateien verändert haben, sollten Sie sie durch die Originaldateien ersetzen. Sie können sie auch sichern.",
    "Worms 4 Mayhem wurde nicht gefunden.",
    "Quorvane wurde nicht gefunden. Besuchen Sie <download>",
    "Datei wird kopiert:",
    "Die Datei %1 konnte nicht geschrieben werden: %2",
    "Die Datei %1 wurde nicht ersetzt, weil ihre Sicherung %2 nicht geschrieben werden konnte: %3",
    "Der Ordner %1 konnte nicht erstellt werden: %2",
    "Es wurde nichts installiert: Alle bereits kopierten Dateien wurden wiederhergestellt.",
    "Die Liste der installierten Dateien %1 konnte nicht geschrieben werden. Beim Deinstallieren werden die Dateien des Kartenpakets daher nicht entfernt.",
    "Diese Dateien (%1) wurden nach der Installation des Kartenpakets verändert und daher nicht entfernt:",
    "Kartenpaket:",
    "Autor:",
    "Zu installierende Dateien:",
    "Spielordner: %2 (Dateien: %1)",
    "Kartenlisten von Quorvane: %2 (Dateien: %1)",
    "(nicht gefunden)",
    "Die Karten von %1 sind installiert und in Worms 4 Mayhem spielbereit.",
    "Über %1",
}};

const LanguageMessages Hebrew = {"hebrew", {
    "מעתיק קבצים לתיקייה של Worms 4 Mayhem",
    "כל הקבצים הדרושים יועתקו לתיקייה של Worms 4 Mayhem ול-Quorvane.",
    "בחר קבצים להעתקה ולגיבוי",
    "אם שינית קבצים מסוימים, מומלץ להחליף אותם בקבצים המקוריים. אפשר גם לגבות אותם.",
    "Worms 4 Mayhem לא נמצא.",
    "Quorvane לא נמצא. בקר בכתובת <download>",
    "מעתיק את הקובץ",
    "לא ניתן לכתוב את הקובץ %1: %2",
    "הקובץ %1 לא הוחלף, כי לא ניתן לכתוב את הגיבוי שלו %2: %3",
    "לא ניתן ליצור את התיקייה %1: %2",
    "שום דבר לא הותקן: כל הקבצים שכבר הועתקו הוחזרו למצבם הקודם.",
    "לא ניתן לכתוב את רשימת הקבצים המותקנים %1, ולכן הסרת ההתקנה לא תמחק את קבצי חבילת המפות.",
    "הקבצים האלה (%1) השתנו אחרי שחבילת המפות התקינה אותם, ולכן הושארו במקומם:",
    "חבילת מפות:",
    "יוצר:",
    "קבצים להתקנה:",
    "תיקיית המשחק: %2 (קבצים: %1)",
    "רשימות המפות של Quorvane: %2 (קבצים: %1)",
    "(לא נמצאה)",
    "המפות של %1 מותקנות ומוכנות למשחק ב-Worms 4 Mayhem.",
    "אודות %1",
}};

const LanguageMessages Icelandic = {"icelandic", {
    "Afrita skrár í möppu Worms 4 Mayhem",
    "Allar nauðsynlegar skrár verða afritaðar í möppu Worms 4 Mayhem og í Quorvane.",
    "Veldu skrár til að afrita og taka öryggisafrit af",
    "Ef þú hefur breytt einhverjum skrám ættirðu að skipta þeim út fyrir upprunalegu skrárnar. Þú getur líka tekið öryggisafrit af þeim.",
    "Worms 4 Mayhem fannst ekki.",
    "Quorvane fannst ekki. Farðu á <download>",
    "Afrita skrá",
    "Ekki tókst að skrifa skrána %1: %2",
    "Skránni %1 var ekki skipt út, því ekki tókst að skrifa öryggisafritið %2: %3",
    "Ekki tókst að búa til möppuna %1: %2",
    "Ekkert var sett upp: allar skrár sem þegar höfðu verið afritaðar eru aftur eins og þær voru.",
    "Ekki tókst að skrifa lista yfir uppsettar skrár %1, svo að skrár kortapakkans verða ekki fjarlægðar við fjarlægingu.",
    "Þessum skrám (%1) var breytt eftir að kortapakkinn setti þær upp og þær voru látnar vera:",
    "Kortapakki:",
    "Höfundur:",
    "Skrár sem verða settar upp:",
    "Mappa leiksins: %2 (skrár: %1)",
    "Kortalistar Quorvane: %2 (skrár: %1)",
    "(fannst ekki)",
    "Kortin í %1 eru uppsett og tilbúin til að spila í Worms 4 Mayhem.",
    "Um %1",
}};

const LanguageMessages Italian = {"italian", {
    "Copia dei file nella cartella di Worms 4 Mayhem",
    "Tutti i file necessari verranno copiati nella cartella di Worms 4 Mayhem e in Quorvane.",
    "Seleziona i file da copiare e salvare",
    "Se hai modificato alcuni file, è consigliabile sostituirli con quelli originali. Puoi anche farne una copia di sicurezza.",
    "Worms 4 Mayhem non trovato.",
    "Quorvane non trovato. Visita <download>",
    "Copia del file",
    "Impossibile scrivere il file %1: %2",
    "Il file %1 non è stato sostituito perché non è stato possibile scrivere la sua copia di sicurezza %2: %3",
    "Impossibile creare la cartella %1: %2",
    "Non è stato installato nulla: tutti i file già copiati sono stati riportati allo stato precedente.",
    "Impossibile scrivere l'elenco dei file installati %1: la disinstallazione non rimuoverà quindi i file del pacchetto di mappe.",
    "Questi file (%1) sono stati modificati dopo l'installazione del pacchetto di mappe e sono stati lasciati al loro posto:",
    "Pacchetto di mappe:",
    "Autore:",
    "File da installare:",
    "Cartella del gioco: %2 (file: %1)",
    "Elenchi di mappe di Quorvane: %2 (file: %1)",
    "(non trovata)",
    "Le mappe di %1 sono installate e pronte per giocare in Worms 4 Mayhem.",
    "Informazioni su %1",
}};

const LanguageMessages Japanese = {"japanese", {
    "Worms 4 Mayhem のフォルダーにファイルをコピーしています",
    "必要なファイルをすべて Worms 4 Mayhem のフォルダーと Quorvane にコピーします。",
    "コピーしてバックアップするファイルを選択してください",
    "変更したファイルがある場合は、元のファイルに置き換えることをお勧めします。バックアップを取ることもできます。",
    "Worms 4 Mayhem が見つかりません。",
    "Quorvane が見つかりません。<download> をご覧ください。",
    "ファイルをコピーしています:",
    "ファイル %1 を書き込めませんでした: %2",
    "バックアップ %2 を書き込めなかったため、ファイル %1 は置き換えられませんでした: %3",
    "フォルダー %1 を作成できませんでした: %2",
    "何もインストールされませんでした。コピー済みのファイルはすべて元の状態に戻しました。",
    "インストールしたファイルの一覧 %1 を書き込めませんでした。そのため、アンインストールしてもマップパックのファイルは削除されません。",
    "次のファイル (%1 個) はマップパックのインストール後に変更されたため、そのまま残しました:",
    "マップパック:",
    "作者:",
    "インストールするファイル:",
    "ゲームのフォルダー: %2 (%1 ファイル)",
    "Quorvane のマップリスト: %2 (%1 ファイル)",
    "(見つかりません)",
    "%1 のマップがインストールされ、Worms 4 Mayhem で遊べるようになりました。",
    "%1 について",
}};

const LanguageMessages Norwegian = {"norwegian", {
    "Kopierer filer til mappen til Worms 4 Mayhem",
    "Alle nødvendige filer blir kopiert til mappen til Worms 4 Mayhem og til Quorvane.",
    "Velg filer som skal kopieres og sikkerhetskopieres",
    "Hvis du har endret noen filer, bør du erstatte dem med originalfilene. Du kan også ta sikkerhetskopi av dem.",
    "Fant ikke Worms 4 Mayhem.",
    "Fant ikke Quorvane. Gå til <download>",
    "Kopierer filen",
    "Kunne ikke skrive filen %1: %2",
    "Filen %1 ble ikke erstattet fordi sikkerhetskopien %2 ikke kunne skrives: %3",
    "Kunne ikke opprette mappen %1: %2",
    "Ingenting ble installert: alle filer som allerede var kopiert, er satt tilbake slik de var.",
    "Kunne ikke skrive listen over installerte filer %1, så avinstalleringen vil ikke fjerne filene i brettpakken.",
    "Disse filene (%1) ble endret etter at brettpakken installerte dem, og ble latt være:",
    "Brettpakke:",
    "Forfatter:",
    "Filer som installeres:",
    "Spillmappe: %2 (filer: %1)",
    "Brettlister i Quorvane: %2 (filer: %1)",
    "(ikke funnet)",
    "Brettene i %1 er installert og klare til å spilles i Worms 4 Mayhem.",
    "Om %1",
}};

const LanguageMessages Polish = {"polish", {
    "Kopiowanie plików do folderu Worms 4 Mayhem",
    "Wszystkie potrzebne pliki zostaną skopiowane do folderu Worms 4 Mayhem i do Quorvane.",
    "Wybierz pliki do skopiowania i zachowania",
    "Jeśli zmieniłeś niektóre pliki, zastąp je plikami oryginalnymi. Możesz też zachować ich kopię zapasową.",
    "Nie znaleziono gry Worms 4 Mayhem.",
    "Nie znaleziono programu Quorvane. Odwiedź <download>",
    "Kopiowanie pliku",
    "Nie udało się zapisać pliku %1: %2",
    "Plik %1 nie został zastąpiony, ponieważ nie udało się zapisać jego kopii zapasowej %2: %3",
    "Nie udało się utworzyć folderu %1: %2",
    "Nic nie zostało zainstalowane: wszystkie skopiowane dotąd pliki przywrócono do poprzedniego stanu.",
    "Nie udało się zapisać listy zainstalowanych plików %1, dlatego odinstalowanie nie usunie plików paczki map.",
    "Te pliki (%1) zmieniły się po zainstalowaniu paczki map i pozostawiono je na miejscu:",
    "Paczka map:",
    "Autor:",
    "Pliki do zainstalowania:",
    "Folder gry: %2 (plików: %1)",
    "Listy map Quorvane: %2 (plików: %1)",
    "(nie znaleziono)",
    "Mapy z paczki %1 są zainstalowane i gotowe do gry w Worms 4 Mayhem.",
    "O paczce %1",
}};

const LanguageMessages Portuguese = {"portuguese", {
    "A copiar ficheiros para a pasta do Worms 4 Mayhem",
    "Todos os ficheiros necessários serão copiados para a pasta do Worms 4 Mayhem e para o Quorvane.",
    "Selecione os ficheiros a copiar e a guardar",
    "Se alterou alguns ficheiros, deve substituí-los pelos ficheiros originais. Também pode fazer uma cópia de segurança.",
    "O Worms 4 Mayhem não foi encontrado.",
    "O Quorvane não foi encontrado. Visite <download>",
    "A copiar o ficheiro",
    "Não foi possível escrever o ficheiro %1: %2",
    "O ficheiro %1 não foi substituído porque não foi possível escrever a sua cópia de segurança %2: %3",
    "Não foi possível criar a pasta %1: %2",
    "Nada foi instalado: todos os ficheiros já copiados foram repostos como estavam.",
    "Não foi possível escrever a lista de ficheiros instalados %1, por isso a desinstalação não removerá os ficheiros do pacote de mapas.",
    "Estes ficheiros (%1) foram alterados depois de o pacote de mapas os ter instalado e foram deixados no lugar:",
    "Pacote de mapas:",
    "Autor:",
    "Ficheiros a instalar:",
    "Pasta do jogo: %2 (ficheiros: %1)",
    "Listas de mapas do Quorvane: %2 (ficheiros: %1)",
    "(não encontrada)",
    "Os mapas de %1 estão instalados e prontos a jogar no Worms 4 Mayhem.",
    "Sobre %1",
}};

const LanguageMessages Slovak = {"slovak", {
    "Kopírovanie súborov do priečinka hry Worms 4 Mayhem",
    "Všetky potrebné súbory sa skopírujú do priečinka hry Worms 4 Mayhem a do Quorvane.",
    "Vyberte súbory na kopírovanie a zálohovanie",
    "Ak ste niektoré súbory zmenili, mali by ste ich nahradiť pôvodnými súbormi. Môžete ich aj zálohovať.",
    "Hra Worms 4 Mayhem sa nenašla.",
    "Program Quorvane sa nenašiel. Navštívte <download>",
    "Kopíruje sa súbor",
    "Súbor %1 sa nepodarilo zapísať: %2",
    "Súbor %1 sa nenahradil, pretože jeho zálohu %2 sa nepodarilo zapísať: %3",
    "Priečinok %1 sa nepodarilo vytvoriť: %2",
    "Nič sa nenainštalovalo: všetky doteraz skopírované súbory sa vrátili do pôvodného stavu.",
    "Zoznam nainštalovaných súborov %1 sa nepodarilo zapísať, takže odinštalovanie súbory balíka máp neodstráni.",
    "Tieto súbory (%1) sa po inštalácii balíka máp zmenili, a preto zostali na svojom mieste:",
    "Balík máp:",
    "Autor:",
    "Súbory na inštaláciu:",
    "Priečinok hry: %2 (súborov: %1)",
    "Zoznamy máp Quorvane: %2 (súborov: %1)",
    "(nenašiel sa)",
    "Mapy z balíka %1 sú nainštalované a pripravené na hranie v hre Worms 4 Mayhem.",
    "O balíku %1",
}};

const LanguageMessages Slovenian = {"slovenian", {
    "Kopiranje datotek v mapo igre Worms 4 Mayhem",
    "Vse potrebne datoteke bodo kopirane v mapo igre Worms 4 Mayhem in v Quorvane.",
    "Izberite datoteke za kopiranje in varnostno kopijo",
    "Če ste katero od datotek spremenili, jo zamenjajte z izvirno. Lahko naredite tudi varnostno kopijo.",
    "Igre Worms 4 Mayhem ni bilo mogoče najti.",
    "Programa Quorvane ni bilo mogoče najti. Obiščite <download>",
    "Kopiranje datoteke",
    "Datoteke %1 ni bilo mogoče zapisati: %2",
    "Datoteka %1 ni bila zamenjana, ker njene varnostne kopije %2 ni bilo mogoče zapisati: %3",
    "Mape %1 ni bilo mogoče ustvariti: %2",
    "Nič ni bilo nameščeno: vse doslej kopirane datoteke so bile vrnjene v prejšnje stanje.",
    "Seznama nameščenih datotek %1 ni bilo mogoče zapisati, zato odstranitev ne bo izbrisala datotek paketa zemljevidov.",
    "Te datoteke (%1) so se po namestitvi paketa zemljevidov spremenile, zato so ostale na svojem mestu:",
    "Paket zemljevidov:",
    "Avtor:",
    "Datoteke za namestitev:",
    "Mapa igre: %2 (datotek: %1)",
    "Seznami zemljevidov Quorvane: %2 (datotek: %1)",
    "(ni najdena)",
    "Zemljevidi paketa %1 so nameščeni in pripravljeni za igranje v igri Worms 4 Mayhem.",
    "O paketu %1",
}};

const LanguageMessages Spanish = {"spanish", {
    "Copiando archivos en la carpeta de Worms 4 Mayhem",
    "Todos los archivos necesarios se copiarán en la carpeta de Worms 4 Mayhem y en Quorvane.",
    "Seleccione los archivos que desea copiar y guardar",
    "Si ha modificado algunos archivos, conviene sustituirlos por los originales. También puede hacer una copia de seguridad de ellos.",
    "No se ha encontrado Worms 4 Mayhem.",
    "No se ha encontrado Quorvane. Visite <download>",
    "Copiando archivo",
    "No se ha podido escribir el archivo %1: %2",
    "El archivo %1 no se ha sustituido porque no se ha podido escribir su copia de seguridad %2: %3",
    "No se ha podido crear la carpeta %1: %2",
    "No se ha instalado nada: todos los archivos copiados hasta ahora se han devuelto a su estado anterior.",
    "No se ha podido escribir la lista de archivos instalados %1, así que la desinstalación no eliminará los archivos del paquete de mapas.",
    "Estos archivos (%1) cambiaron después de que el paquete de mapas los instalara y se han dejado donde estaban:",
    "Paquete de mapas:",
    "Autor:",
    "Archivos que se instalarán:",
    "Carpeta del juego: %2 (archivos: %1)",
    "Listas de mapas de Quorvane: %2 (archivos: %1)",
    "(no encontrada)",
    "Los mapas de %1 están instalados y listos para jugar en Worms 4 Mayhem.",
    "Acerca de %1",
}};

const LanguageMessages Turkish = {"turkish", {
    "Dosyalar Worms 4 Mayhem klasörüne kopyalanıyor",
    "Gereken tüm dosyalar Worms 4 Mayhem klasörüne ve Quorvane'e kopyalanacak.",
    "Kopyalanacak ve yedeklenecek dosyaları seçin",
    "Bazı dosyaları değiştirdiyseniz bunları özgün dosyalarla değiştirmeniz önerilir. Dosyaları yedekleyebilirsiniz de.",
    "Worms 4 Mayhem bulunamadı.",
    "Quorvane bulunamadı. Şu adresi ziyaret edin: <download>",
    "Dosya kopyalanıyor",
    "%1 dosyası yazılamadı: %2",
    "%1 dosyası değiştirilmedi, çünkü yedeği %2 yazılamadı: %3",
    "%1 klasörü oluşturulamadı: %2",
    "Hiçbir şey kurulmadı: şimdiye kadar kopyalanan tüm dosyalar eski hâline getirildi.",
    "Kurulan dosyaların listesi %1 yazılamadı; bu yüzden kaldırma işlemi harita paketinin dosyalarını silmeyecek.",
    "Şu dosyalar (%1) harita paketi kurulduktan sonra değiştiği için yerinde bırakıldı:",
    "Harita paketi:",
    "Yazar:",
    "Kurulacak dosyalar:",
    "Oyun klasörü: %2 (dosya: %1)",
    "Quorvane harita listeleri: %2 (dosya: %1)",
    "(bulunamadı)",
    "%1 haritaları kuruldu ve Worms 4 Mayhem'de oynanmaya hazır.",
    "%1 hakkında",
}};

const LanguageMessages Ukrainian = {"ukrainian", {
    "Копіювання файлів до теки Worms 4 Mayhem",
    "Усі потрібні файли буде скопійовано до теки Worms 4 Mayhem і до Quorvane.",
    "Виберіть файли для копіювання та збереження",
    "Якщо ви змінювали деякі файли, варто замінити їх оригінальними. Також можна зберегти їхні резервні копії.",
    "Гру Worms 4 Mayhem не знайдено.",
    "Програму Quorvane не знайдено. Відвідайте <download>",
    "Копіюється файл",
    "Не вдалося записати файл %1: %2",
    "Файл %1 не замінено: не вдалося записати його резервну копію %2: %3",
    "Не вдалося створити теку %1: %2",
    "Нічого не встановлено: усі вже скопійовані файли повернуто до попереднього стану.",
    "Не вдалося записати список установлених файлів %1, тож під час видалення файли набору карт не буде видалено.",
    "Ці файли (%1) змінилися після встановлення набору карт і залишилися на місці:",
    "Набір карт:",
    "Автор:",
    "Буде встановлено файли:",
    "Тека гри: %2 (файлів: %1)",
    "Списки карт Quorvane: %2 (файлів: %1)",
    "(не знайдено)",
    "Карти набору %1 установлено, і в них уже можна грати в Worms 4 Mayhem.",
    "Про набір карт %1",
}};

// The other languages of the compiler's folder; a chosen language without messages of its own
// shows the English ones.
const LanguageMessages *const OtherLanguages[] = {
    &Armenian,
    &BrazilianPortuguese,
    &Catalan,
    &Corsican,
    &Czech,
    &Danish,
    &Dutch,
    &Finnish,
    &French,
    &German,
    &Hebrew,
    &Icelandic,
    &Italian,
    &Japanese,
    &Norwegian,
    &Polish,
    &Portuguese,
    &Slovak,
    &Slovenian,
    &Spanish,
    &Turkish,
    &Ukrainian,
};
// clang-format on

void addLanguage(QStringList &lines, const LanguageMessages &messages, bool prefixed, bool firstVersion)
{
    const QString prefix = prefixed ? QLatin1String(messages.language) + QLatin1Char('.') : QString();
    for (std::size_t i = 0; i < MessageCount; ++i) {
        const bool keptAsItWas = firstVersion && i < FirstVersionMessages;
        QString text = QString::fromUtf8(messages.texts[i]);
        text.replace(DownloadPage, QLatin1String(LauncherDownloadPage));
        text.replace(QLatin1String("<site>"), QLatin1String(MakerWebSite));
        lines << prefix + QLatin1String(MessageKeys[i]) + (keptAsItWas ? QStringLiteral(" = ") : QStringLiteral("="))
                + text;
    }
}

} // namespace

QStringList customMessageLines(const QStringList &languages)
{
    QStringList lines;
    addLanguage(lines, English, false, true);
    if (languages.contains(QLatin1String(Russian.language)))
        addLanguage(lines, Russian, true, true);
    for (const QString &language : languages) {
        for (const LanguageMessages *messages : OtherLanguages) {
            if (language == QLatin1String(messages->language))
                addLanguage(lines, *messages, true, false);
        }
    }
    return lines;
}

} // namespace tervelle
