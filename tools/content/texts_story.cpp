// The story of Velmora: the history scenes, the campaign map titles and the artefact pages.
#include "texts.h"

namespace content {

const std::vector<TextEntry>& story_texts() {
    static const std::vector<TextEntry> t = {
        // Scene 0
        {"TEXT_History_scPreHistory1_1",
         "Long before the first pharaoh, an island of white stone lay beyond the Pillars of Heracles. Its "
         "people, the Velmorans, read the sky like a book and built their city around a great disc of "
         "sun-gold.",
         "Задолго до первого фараона за Геракловыми столпами лежал остров из белого камня. Его жители, "
         "велморцы, читали небо как книгу и построили свой город вокруг огромного диска из солнечного "
         "золота.",
         "Lange vor dem ersten Pharao lag jenseits der Säulen des Herakles eine Insel aus weißem Stein. Ihre "
         "Bewohner, die Velmoraner, lasen den Himmel wie ein Buch und bauten ihre Stadt um eine große "
         "Scheibe aus Sonnengold.",
         40},
        {"TEXT_History_scPreHistory1_2",
         "A bronze lion guarded the harbour, and Velmoran ships carried glass, star charts and tide tables "
         "to every shore of the known world. Wherever they sailed, they left gifts behind.",
         "Бронзовый лев охранял гавань, а корабли Велморы везли стекло, звёздные карты и таблицы приливов к "
         "каждому берегу известного мира. Куда бы они ни плыли, они оставляли дары.",
         "Ein bronzener Löwe bewachte den Hafen, und velmoranische Schiffe brachten Glas, Sternkarten und "
         "Gezeitentafeln an jede Küste der bekannten Welt. Wohin sie auch segelten, ließen sie Geschenke "
         "zurück.",
         46},
        // Scene 1
        {"TEXT_History_scPreHistory2",
         "Then, in a single night, Velmora was gone. The sea rose, the sun disc fell silent, and the island "
         "sank into the deep. Only the gifts remained, scattered among the nations, their meaning forgotten. "
         "Those who could read them would find the way to the drowned city.",
         "А потом, за одну ночь, Велмора исчезла. Море поднялось, солнечный диск умолк, и остров ушёл в "
         "пучину. Остались лишь дары, рассеянные среди народов, и смысл их был забыт. Тот, кто сумеет их "
         "прочесть, найдёт путь к затонувшему городу.",
         "Dann, in einer einzigen Nacht, war Velmora verschwunden. Das Meer stieg, die Sonnenscheibe "
         "verstummte, und die Insel versank in der Tiefe. Nur die Geschenke blieben, verstreut unter den "
         "Völkern, ihr Sinn vergessen. Wer sie zu lesen vermag, findet den Weg zur versunkenen Stadt.",
         66},
        // Scene 2
        {"TEXT_History_scPreHistory3_1",
         "Today. In your late grandfather's study you find a small bronze horse with a spiral of stars on "
         "its flank. Under it lies his last note: \"The gifts of Velmora are a map. Begin where I began.\"",
         "Наши дни. В кабинете покойного деда вы находите маленького бронзового коня со спиралью звёзд на "
         "боку. Под ним лежит его последняя записка: «Дары Велморы и есть карта. Начни там, где начинал я».",
         "Heute. Im Arbeitszimmer deines verstorbenen Großvaters findest du ein kleines Bronzepferd mit "
         "einer Sternenspirale an der Flanke. Darunter liegt seine letzte Notiz: „Die Geschenke Velmoras "
         "sind eine Karte. Beginne, wo ich begann.“",
         40},
        {"TEXT_History_scPreHistory3_2",
         "His diaries lead to Greece, where divers once raised painted shards from a harbour floor. You pack "
         "your mask and your notebook. The expedition begins.",
         "Его дневники ведут в Грецию, где ныряльщики когда-то подняли со дна гавани расписные черепки. Вы "
         "собираете маску и блокнот. Экспедиция начинается.",
         "Seine Tagebücher führen nach Griechenland, wo Taucher einst bemalte Scherben vom Hafengrund "
         "holten. Du packst Maske und Notizbuch. Die Expedition beginnt.",
         46},
        // Scenes 3..9: after each country
        {"TEXT_History_sc_Greece_1",
         "The amphora is whole again. Its painting shows two seas joined by a chain of islands, and above "
         "them a tower that points at the stars.",
         "Амфора снова цела. На её росписи два моря, соединённые цепью островов, а над ними башня, "
         "указывающая на звёзды.",
         "Die Amphore ist wieder ganz. Ihr Bild zeigt zwei Meere, verbunden durch eine Kette von Inseln, und "
         "darüber einen Turm, der zu den Sternen weist.",
         40},
        {"TEXT_History_sc_Greece_2",
         "Only one people built towers to read the sky: the astronomers of Babylon. If Velmora shared its "
         "knowledge, the tablets there may still remember.",
         "Только один народ строил башни, чтобы читать небо: звездочёты Вавилона. Если Велмора делилась "
         "знаниями, тамошние таблички могли их сохранить.",
         "Nur ein Volk baute Türme, um den Himmel zu lesen: die Sterndeuter Babylons. Wenn Velmora sein "
         "Wissen teilte, erinnern sich die Tafeln dort vielleicht noch.",
         46},
        {"TEXT_History_sc_Babylon_1",
         "The star tablet is complete. Its wedges record the tides of a sea that is not Babylon's own, "
         "written in numbers no scribe of the city could have known.",
         "Звёздная табличка собрана. Её клинописные знаки записывают приливы чужого для Вавилона моря "
         "числами, которых не мог знать ни один писец города.",
         "Die Sterntafel ist vollständig. Ihre Keile verzeichnen die Gezeiten eines Meeres, das nicht "
         "Babylons ist, in Zahlen, die kein Schreiber der Stadt kennen konnte.",
         40},
        {"TEXT_History_sc_Babylon_2",
         "At its edge a scarab is carved, the sign of the Nile delta. The tides of Velmora, it seems, were "
         "once measured by the priests of Egypt.",
         "На краю вырезан скарабей, знак дельты Нила. Похоже, приливы Велморы когда-то измеряли жрецы "
         "Египта.",
         "Am Rand ist ein Skarabäus eingeritzt, das Zeichen des Nildeltas. Die Gezeiten Velmoras wurden wohl "
         "einst von den Priestern Ägyptens gemessen.",
         46},
        {"TEXT_History_sc_Egypt1_1",
         "The scarab of tides lies in splinters. A stone with a curse upon it shattered the artefact the "
         "moment it was complete, as if something did not want the way to be found.",
         "Скарабей приливов рассыпался на осколки. Камень с проклятием разбил артефакт в тот миг, когда он "
         "был собран, словно кто-то не хотел, чтобы путь был найден.",
         "Der Gezeitenskarabäus liegt in Splittern. Ein verfluchter Stein zerschlug das Artefakt im "
         "Augenblick seiner Vollendung, als wollte etwas nicht, dass der Weg gefunden wird.",
         40},
        {"TEXT_History_sc_Egypt1_2",
         "Yet on the inner side of one splinter you read a line of signs: \"The navigator sleeps upriver, "
         "where the Nile is young.\" You follow the river south.",
         "Но на внутренней стороне одного осколка вы читаете строку знаков: «Навигатор спит выше по реке, "
         "где Нил молод». Вы отправляетесь на юг.",
         "Doch auf der Innenseite eines Splitters liest du eine Zeichenreihe: „Der Navigator schläft "
         "flussaufwärts, wo der Nil jung ist.“ Du folgst dem Fluss nach Süden.",
         46},
        {"TEXT_History_sc_Egypt2_1",
         "The golden mask of the navigator looks at you with eyes of blue glass, glass made only in Velmora. "
         "Behind the mask, a map of the western sea is engraved.",
         "Золотая маска навигатора смотрит на вас глазами из синего стекла, стекла, которое делали только в "
         "Велморе. На её обороте выгравирована карта западного моря.",
         "Die goldene Maske des Navigators blickt dich mit Augen aus blauem Glas an, Glas, wie es nur "
         "Velmora kannte. Hinter der Maske ist eine Karte des westlichen Meeres graviert.",
         40},
        {"TEXT_History_sc_Egypt2_2",
         "The map is incomplete: a Roman hand has added a harbour and a legion's eagle. Someone in Rome knew "
         "this secret too.",
         "Карта не закончена: римская рука дорисовала гавань и орла легиона. Кто-то в Риме тоже знал эту "
         "тайну.",
         "Die Karte ist unvollständig: eine römische Hand fügte einen Hafen und einen Legionsadler hinzu. "
         "Auch in Rom kannte jemand dieses Geheimnis.",
         46},
        {"TEXT_History_sc_Rome_1",
         "The bronze medallion of the drowned legion is restored. A fleet sent west to find Velmora never "
         "returned, but its commander left this medallion in Ostia.",
         "Бронзовый медальон утонувшего легиона восстановлен. Флот, посланный на запад искать Велмору, не "
         "вернулся, но его командир оставил медальон в Остии.",
         "Das Bronzemedaillon der ertrunkenen Legion ist wiederhergestellt. Eine Flotte, die Velmora im "
         "Westen suchen sollte, kehrte nie zurück, doch ihr Befehlshaber ließ dieses Medaillon in Ostia.",
         40},
        {"TEXT_History_sc_Rome_2",
         "Its rim names the only sailors who dared the open ocean: the captains of Carthage. Their charts "
         "went farther than any Roman ship.",
         "На его ободке названы единственные мореходы, осмелившиеся выйти в открытый океан: капитаны "
         "Карфагена. Их карты вели дальше любого римского корабля.",
         "Sein Rand nennt die einzigen Seeleute, die sich auf den offenen Ozean wagten: die Kapitäne "
         "Karthagos. Ihre Karten reichten weiter als jedes römische Schiff.",
         46},
        {"TEXT_History_sc_Carthage_1",
         "The prow of the hundred voyages is whole. Carved into its keel are the bearings of a reef beyond "
         "the pillars, marked with the spiral of stars.",
         "Нос корабля ста плаваний собран. На его киле вырезаны ориентиры рифа за столпами, отмеченного "
         "спиралью звёзд.",
         "Der Bug der hundert Fahrten ist ganz. In seinen Kiel sind die Peilungen eines Riffs jenseits der "
         "Säulen geschnitten, markiert mit der Sternenspirale.",
         40},
        {"TEXT_History_sc_Carthage_2",
         "You sail beyond the Pillars of Heracles and dive where the bearings meet. Below you, in blue "
         "silence, the first gates of Velmora rise from the sand.",
         "Вы проходите Геракловы столпы и ныряете там, где сходятся ориентиры. Под вами, в синей тишине, из "
         "песка поднимаются первые врата Велморы.",
         "Du segelst hinter die Säulen des Herakles und tauchst, wo sich die Peilungen treffen. Unter dir, "
         "in blauer Stille, erheben sich die ersten Tore Velmoras aus dem Sand.",
         46},
        {"TEXT_History_sc_Velmora1_1",
         "The trident key of the outer city is complete. Its three prongs fit the locks of the sea gate that "
         "has been closed for five thousand years.",
         "Ключ-трезубец внешнего города собран. Три его зубца подходят к замкам морских врат, закрытых уже "
         "пять тысяч лет.",
         "Der Dreizackschlüssel der äußeren Stadt ist vollständig. Seine drei Zinken passen in die Schlösser "
         "des Meerestores, das seit fünftausend Jahren verschlossen ist.",
         40},
        {"TEXT_History_sc_Velmora1_2",
         "The gate opens. Beyond it lies the inner city, its halls untouched, and at its heart the empty "
         "place where the sun disc once stood.",
         "Врата открываются. За ними лежит внутренний город с нетронутыми залами, а в его сердце пустое "
         "место, где когда-то стоял солнечный диск.",
         "Das Tor öffnet sich. Dahinter liegt die innere Stadt mit unberührten Hallen, und in ihrem Herzen "
         "der leere Platz, an dem einst die Sonnenscheibe stand.",
         46},
        // Scenes 10..13: the ending
        {"TEXT_History_scPostHistory1_1",
         "The last slice of the sun disc slides into place. The bronze lion of the harbour, half buried in "
         "sand, seems to lift its head.",
         "Последний осколок солнечного диска встаёт на место. Бронзовый лев гавани, наполовину занесённый "
         "песком, словно поднимает голову.",
         "Die letzte Scherbe der Sonnenscheibe gleitet an ihren Platz. Der bronzene Löwe des Hafens, halb im "
         "Sand begraben, scheint den Kopf zu heben.",
         40},
        {"TEXT_History_scPostHistory1_2",
         "Light runs through the carved channels of the disc, brighter and brighter, until the whole drowned "
         "city glows gold beneath the sea.",
         "Свет бежит по резным желобкам диска, всё ярче и ярче, пока весь затонувший город не засияет "
         "золотом под водой.",
         "Licht läuft durch die geschnitzten Rinnen der Scheibe, heller und heller, bis die ganze versunkene "
         "Stadt unter dem Meer golden leuchtet.",
         46},
        {"TEXT_History_scPostHistory2",
         "The disc speaks in pictures. You see Velmora at its height: scholars on the terraces, ships in the "
         "harbour, the sun caught in gold. You see them learn to call the tides, and you see them grow "
         "proud.",
         "Диск говорит картинами. Вы видите Велмору в расцвете: учёные на террасах, корабли в гавани, "
         "солнце, пойманное в золото. Вы видите, как они научились призывать приливы, и как возгордились.",
         "Die Scheibe spricht in Bildern. Du siehst Velmora auf seiner Höhe: Gelehrte auf den Terrassen, "
         "Schiffe im Hafen, die Sonne in Gold gefangen. Du siehst, wie sie lernen, die Gezeiten zu rufen, "
         "und wie sie stolz werden.",
         66},
        {"TEXT_History_scPostHistory3",
         "One night they called a tide too great to hold. The wave rose higher than the lighthouse of Oris "
         "and took the island whole. The last ships carried the gifts away, so that one day someone would "
         "understand.",
         "Однажды ночью они призвали прилив, который не смогли удержать. Волна поднялась выше маяка Ориса и "
         "забрала остров целиком. Последние корабли увезли дары, чтобы однажды кто-нибудь понял.",
         "Eines Nachts riefen sie eine Flut, die zu groß war, um sie zu halten. Die Welle stieg höher als "
         "der Leuchtturm von Oris und nahm die ganze Insel. Die letzten Schiffe trugen die Geschenke fort, "
         "damit eines Tages jemand verstehen würde.",
         66},
        {"TEXT_History_scPostHistory4",
         "Now you understand. Velmora rests in peace beneath the waves, its story told at last. Your "
         "grandfather's notebook is full, and the sea, for once, has given up one of its secrets. Thank you "
         "for diving with us.",
         "Теперь вы понимаете. Велмора покоится под волнами, и её история наконец рассказана. Дедушкин "
         "блокнот заполнен, и море хоть раз выдало одну из своих тайн. Спасибо, что погрузились вместе с "
         "нами.",
         "Jetzt verstehst du. Velmora ruht in Frieden unter den Wellen, seine Geschichte ist endlich "
         "erzählt. Das Notizbuch deines Großvaters ist voll, und das Meer hat einmal eines seiner "
         "Geheimnisse preisgegeben. Danke, dass du mit uns getaucht bist.",
         66},
        // Campaign map titles and subtitles
        {"TEXT_MAP_CountryName_01", "GREECE", "ГРЕЦИЯ", "GRIECHENLAND", 0},
        {"TEXT_MAP_CountryName_02", "BABYLON", "ВАВИЛОН", "BABYLON", 0},
        {"TEXT_MAP_CountryName_03", "LOWER EGYPT", "НИЖНИЙ ЕГИПЕТ", "UNTERÄGYPTEN", 0},
        {"TEXT_MAP_CountryName_04", "UPPER EGYPT", "ВЕРХНИЙ ЕГИПЕТ", "OBERÄGYPTEN", 0},
        {"TEXT_MAP_CountryName_05", "ROME", "РИМ", "ROM", 0},
        {"TEXT_MAP_CountryName_06", "CARTHAGE", "КАРФАГЕН", "KARTHAGO", 0},
        {"TEXT_MAP_CountryName_07", "OUTER VELMORA", "ВНЕШНЯЯ ВЕЛМОРА", "ÄUSSERES VELMORA", 0},
        {"TEXT_MAP_CountryName_08", "INNER VELMORA", "ВНУТРЕННЯЯ ВЕЛМОРА", "INNERES VELMORA", 0},
        {"TEXT_MAP_Subtitle_01", "The amphora of two seas", "Амфора двух морей", "Die Amphore der zwei Meere",
         0},
        {"TEXT_MAP_Subtitle_02", "The star tablet", "Звёздная табличка", "Die Sterntafel", 0},
        {"TEXT_MAP_Subtitle_03", "The scarab of tides", "Скарабей приливов", "Der Gezeitenskarabäus", 0},
        {"TEXT_MAP_Subtitle_04", "The navigator's mask", "Маска навигатора", "Die Maske des Navigators", 0},
        {"TEXT_MAP_Subtitle_05", "The drowned legion", "Утонувший легион", "Die ertrunkene Legion", 0},
        {"TEXT_MAP_Subtitle_06", "A hundred voyages", "Сто плаваний", "Hundert Fahrten", 0},
        {"TEXT_MAP_Subtitle_07", "The sea gate", "Морские врата", "Das Meerestor", 0},
        {"TEXT_MAP_Subtitle_08", "The heart of the sun", "Сердце солнца", "Das Herz der Sonne", 0},
        // Artefact pages
        {"TEXT_MAP_ArtTitle_01", "The Amphora of Two Seas", "Амфора двух морей", "Die Amphore der zwei Meere",
         0},
        {"TEXT_MAP_ArtTitle_02", "The Star Tablet", "Звёздная табличка", "Die Sterntafel", 0},
        {"TEXT_MAP_ArtTitle_03", "The Scarab of Tides", "Скарабей приливов", "Der Gezeitenskarabäus", 0},
        {"TEXT_MAP_ArtTitle_04", "The Navigator's Mask", "Маска навигатора", "Die Maske des Navigators", 0},
        {"TEXT_MAP_ArtTitle_05", "The Legion's Medallion", "Медальон легиона", "Das Medaillon der Legion", 0},
        {"TEXT_MAP_ArtTitle_06", "The Prow of a Hundred Voyages", "Нос ста плаваний",
         "Der Bug der hundert Fahrten", 0},
        {"TEXT_MAP_ArtTitle_07", "The Trident Key", "Ключ-трезубец", "Der Dreizackschlüssel", 0},
        {"TEXT_MAP_ArtTitle_08", "The Sun Disc of Velmora", "Солнечный диск Велморы",
         "Die Sonnenscheibe Velmoras", 0},
        {"TEXT_MAP_ArtText_01",
         "A wine jar of red clay, painted by a Velmoran hand with two seas and a chain of islands. Greek "
         "divers raised its pieces from the harbour of Piraeus.",
         "Кувшин из красной глины, расписанный рукой велморца: два моря и цепь островов. Греческие "
         "ныряльщики подняли его осколки со дна Пирея.",
         "Ein Weinkrug aus rotem Ton, von velmoranischer Hand mit zwei Meeren und einer Inselkette bemalt. "
         "Griechische Taucher holten seine Stücke aus dem Hafen von Piräus.",
         38},
        {"TEXT_MAP_ArtText_02",
         "A tablet of fired clay with rows of wedges: the tide tables of a distant sea, copied by the "
         "star-readers of Babylon.",
         "Табличка из обожжённой глины с рядами клиньев: таблицы приливов далёкого моря, переписанные "
         "звездочётами Вавилона.",
         "Eine Tafel aus gebranntem Ton mit Reihen von Keilen: die Gezeitentafeln eines fernen Meeres, "
         "abgeschrieben von den Sterndeutern Babylons.",
         38},
        {"TEXT_MAP_ArtText_03",
         "A scarab of green stone that once measured the rise of the sea. A cursed stone shattered it; only "
         "its splinters and their hidden words remain.",
         "Скарабей из зелёного камня, некогда измерявший подъём моря. Проклятый камень разбил его; остались "
         "лишь осколки и скрытые в них слова.",
         "Ein Skarabäus aus grünem Stein, der einst das Steigen des Meeres maß. Ein verfluchter Stein "
         "zerschlug ihn; nur Splitter und ihre verborgenen Worte blieben.",
         38},
        {"TEXT_MAP_ArtText_04",
         "A mask of beaten gold with eyes of Velmoran glass. On its back, the map of the western sea that "
         "guided the navigator home.",
         "Маска из кованого золота с глазами из велморского стекла. На обороте карта западного моря, что "
         "вела навигатора домой.",
         "Eine Maske aus getriebenem Gold mit Augen aus velmoranischem Glas. Auf ihrer Rückseite die Karte "
         "des westlichen Meeres, die den Navigator heimführte.",
         38},
        {"TEXT_MAP_ArtText_05",
         "The bronze medallion of a legion sent to find Velmora. Its eagle still points west, towards the "
         "ocean that swallowed the fleet.",
         "Бронзовый медальон легиона, посланного на поиски Велморы. Его орёл всё ещё указывает на запад, к "
         "океану, поглотившему флот.",
         "Das Bronzemedaillon einer Legion, die Velmora finden sollte. Sein Adler weist noch immer nach "
         "Westen, zum Ozean, der die Flotte verschlang.",
         38},
        {"TEXT_MAP_ArtText_06",
         "The carved prow of a Carthaginian ship that sailed beyond the pillars a hundred times. Its keel "
         "holds the bearings of the sunken reef.",
         "Резной нос карфагенского корабля, сто раз ходившего за столпы. На его киле ориентиры затонувшего "
         "рифа.",
         "Der geschnitzte Bug eines karthagischen Schiffes, das hundertmal hinter die Säulen fuhr. Sein Kiel "
         "trägt die Peilungen des versunkenen Riffs.",
         38},
        {"TEXT_MAP_ArtText_07",
         "A trident of sea-bronze and pearl, the key of the outer city. Its three prongs open the gate that "
         "the sea closed long ago.",
         "Трезубец из морской бронзы и жемчуга, ключ внешнего города. Три его зубца открывают врата, давно "
         "закрытые морем.",
         "Ein Dreizack aus Meeresbronze und Perlmutt, der Schlüssel der äußeren Stadt. Seine drei Zinken "
         "öffnen das Tor, das das Meer vor langer Zeit schloss.",
         38},
        {"TEXT_MAP_ArtText_08",
         "The great disc of sun-gold, heart and memory of Velmora. Whole again, it tells the story of the "
         "city and of the night it fell.",
         "Великий диск из солнечного золота, сердце и память Велморы. Собранный вновь, он рассказывает "
         "историю города и ночи его гибели.",
         "Die große Scheibe aus Sonnengold, Herz und Gedächtnis Velmoras. Wieder ganz, erzählt sie die "
         "Geschichte der Stadt und der Nacht ihres Untergangs.",
         38},
    };
    return t;
}

} // namespace content
