<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>HarvestTexts</name>
    <message>
        <location filename="../HarvestOptions.cpp" line="38"/>
        <source>Harvests the reviews of the firm cards listed in urls.txt once, without a window, into the same files the window writes.
Exit status: 0 done, 1 the run failed or a card failed all its attempts (the log&apos;s error lines, also written to standard error, say why), 2 the run could not start (with --repeat: its first run), 130 stopped by a signal.</source>
        <translation>Один раз выгружает отзывы карточек организаций из urls.txt, без окна, в те же файлы, что пишет окно.
Код завершения: 0 — готово; 1 — выгрузка не удалась или карточку не удалось прочитать ни с одной попытки (причину называют строки ошибок журнала, они же выводятся в стандартный поток ошибок); 2 — выгрузка не смогла начаться (с --repeat: первая); 130 — остановлено сигналом.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="47"/>
        <source>Folder whose urls.txt, settings.ini and proxy.txt are read and where every result is written (default: the program&apos;s own folder when it is writable, else %1).</source>
        <translation>Папка, из которой читаются urls.txt, settings.ini и proxy.txt и куда записываются все результаты (по умолчанию папка программы, если в неё можно писать, иначе %1).</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="50"/>
        <source>DIR</source>
        <translation>ПАПКА</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="52"/>
        <source>Seconds between two card pages (default: key Interval of settings.ini, else 1).</source>
        <translation>Секунд между загрузками двух карточек (по умолчанию ключ Interval из settings.ini, иначе 1).</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="54"/>
        <source>SECONDS</source>
        <translation>СЕКУНДЫ</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="55"/>
        <source>One row per review.</source>
        <translation>Каждый отзыв на отдельной строке.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="56"/>
        <source>One row per firm, every review in a column.</source>
        <translation>Одна строка на организацию, каждый отзыв в своей колонке.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="57"/>
        <source>Write a row for firms without new reviews.</source>
        <translation>Выгружать строку и для организаций без новых отзывов.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="58"/>
        <source>Leave firms without new reviews out.</source>
        <translation>Ничего не выгружать для организаций без новых отзывов.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="59"/>
        <source>Write the .tab file only, no workbook.</source>
        <translation>Записать только файл .tab, без книги Excel.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="61"/>
        <source>Run again MINUTES after each run ends, until stopped (1 to 35791).</source>
        <translation>Повторять выгрузку через МИНУТЫ после окончания каждой, пока не остановят (от 1 до 35791).</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="63"/>
        <source>MINUTES</source>
        <translation>МИНУТЫ</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="64"/>
        <source>For testing: base address of the reviews API.</source>
        <translation>Для проверок: базовый адрес API отзывов.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="67"/>
        <source>For testing: address of the directory site, used in author profile links.</source>
        <translation>Для проверок: адрес сайта справочника для ссылок на профили авторов.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="71"/>
        <source>For testing: milliseconds a minute lasts, for --repeat and for the run&apos;s pauses and back-offs (default 60000).</source>
        <translation>Для проверок: сколько миллисекунд длится минута для --repeat и для пауз выгрузки (по умолчанию 60000).</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="74"/>
        <source>Show this help.</source>
        <translation>Показать эту справку.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="75"/>
        <source>Show the program&apos;s version.</source>
        <translation>Показать версию программы.</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="85"/>
        <source>--%1 needs a whole number from %2 to %3, not &quot;%4&quot;</source>
        <translation>--%1: нужно целое число от %2 до %3, а не «%4»</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="99"/>
        <source>--%1 and --%2 exclude each other</source>
        <translation>--%1 и --%2 исключают друг друга</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="115"/>
        <source>--%1 needs an http or https address, not &quot;%2&quot;</source>
        <translation>--%1: нужен адрес http или https, а не «%2»</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="131"/>
        <source>Unexpected argument &quot;%1&quot;</source>
        <translation>Лишний аргумент «%1»</translation>
    </message>
    <message>
        <location filename="../HarvestOptions.cpp" line="142"/>
        <source>--dir needs a folder</source>
        <translation>--dir: нужна папка</translation>
    </message>
    <message>
        <location filename="../HeadlessHarvest.cpp" line="138"/>
        <source>the next run in %1 min</source>
        <translation>следующая выгрузка через %1 мин</translation>
    </message>
    <message>
        <location filename="../HeadlessHarvest.cpp" line="187"/>
        <source>the cards are read from &quot;%1&quot;, one URL a line</source>
        <translation>карточки читаются из «%1», по одной ссылке в строке</translation>
    </message>
    <message>
        <location filename="../HeadlessHarvest.cpp" line="228"/>
        <source>stopping: the rows written so far are kept</source>
        <translation>останавливаемся: записанные строки сохраняются</translation>
    </message>
    <message>
        <location filename="../HeadlessHarvest.cpp" line="263"/>
        <source>&quot;%1&quot; is no folder</source>
        <translation>«%1» — не папка</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="25"/>
        <source>Try &apos;quillorn-harvest --help&apos;.</source>
        <translation>Справка: quillorn-harvest --help</translation>
    </message>
</context>
</TS>
