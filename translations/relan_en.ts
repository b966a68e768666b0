<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>FileOutput</name>
    <message>
        <source>Файл «%1» не записан: %2</source>
        <translation>The file “%1” was not written: %2</translation>
    </message>
    <message>
        <source>это папка, а не файл</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>файл записан не полностью</source>
        <translation>the file was not written completely</translation>
    </message>
    <message>
        <source>документ PDF не завершен</source>
        <translation>the PDF document is incomplete</translation>
    </message>
    <message>
        <source>архив книги Excel не завершен</source>
        <translation>the Excel workbook archive is incomplete</translation>
    </message>
    <message>
        <source>не указано имя файла</source>
        <translation>no file name is given</translation>
    </message>
    <message>
        <source>системная ошибка</source>
        <translation>system error</translation>
    </message>
    <message>
        <source>библиотека книг Excel не смогла составить книгу</source>
        <translation>the Excel workbook library could not make the workbook</translation>
    </message>
    <message>
        <source>не удалось составить содержимое файла</source>
        <translation>the contents of the file could not be made</translation>
    </message>
    <message>
        <source>нет места на диске</source>
        <translation>no space left on the disc</translation>
    </message>
    <message>
        <source>превышена квота на диске</source>
        <translation>the disc quota is exceeded</translation>
    </message>
    <message>
        <source>нет прав на запись</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>диск доступен только для чтения</source>
        <translation>the disc is read-only</translation>
    </message>
    <message>
        <source>папка не существует</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>часть пути не является папкой</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>слишком длинное имя файла</source>
        <translation>the file name is too long</translation>
    </message>
    <message>
        <source>в пути петля символических ссылок</source>
        <translation>the path has a loop of symbolic links</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>файл больше допустимого размера</source>
        <translation>the file is larger than the allowed size</translation>
    </message>
    <message>
        <source>открыто слишком много файлов</source>
        <translation>too many files are open</translation>
    </message>
    <message>
        <source>файл занят</source>
        <translation>the file is busy</translation>
    </message>
    <message>
        <source>недостаточно памяти</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>читающая программа закрыла канал</source>
        <translation>the reading program closed the pipe</translation>
    </message>
    <message>
        <source>вывод закрыт</source>
        <translation>the output is closed</translation>
    </message>
    <message>
        <source>устройство недоступно</source>
        <translation>the device is not available</translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>неизвестный формат файла отчета «%1»: укажите файл .pdf, .svg или .png</source>
        <translation>unknown report file format “%1”: give a .pdf, .svg or .png file</translation>
    </message>
    <message>
        <source>допустимы языки ru и en</source>
        <translation>the languages are ru and en</translation>
    </message>
    <message>
        <source>Предупреждение: </source>
        <translation>Warning: </translation>
    </message>
    <message>
        <source>Ход решения</source>
        <translation>Calculation log</translation>
    </message>
    <message>
        <source>Отчет записан: </source>
        <translation>Report written: </translation>
    </message>
</context>
<context>
    <name>Usage</name>
    <message>
        <source>Анализ отказов изделий в гарантийной эксплуатации.

Использование:
  relan [ФАЙЛ]         открыть окно программы; ФАЙЛ - файл данных об отказах
  relan --lang en|ru [ФАЙЛ]
                       окно на английском или на русском языке
  relan --report ОТЧЕТ ДАННЫЕ [параметры]
                       расчет без окна; окно результатов записывается в ОТЧЕТ:
                       PDF, SVG или PNG по расширению файла (.pdf, .svg, .png);
                       параметры - как у relan-cli fit (relan --report ОТЧЕТ --help)
  relan --help         эта справка
  relan --version      версия программы

Коды завершения: 0 - готово, 1 - неверный параметр, 2 - файл данных не загружен,
3 - расчет остановлен, 4 - файл отчета не записан, 5 - внутренняя ошибка.
</source>
        <translation>Analysis of product failures in warranty operation.

Usage:
  relan [FILE]         open the program window; FILE is a failure data file
  relan --lang en|ru [FILE]
                       the window in English or in Russian
  relan --report REPORT DATA [options]
                       calculation without a window; the results window is written
                       to REPORT: PDF, SVG or PNG by its extension (.pdf, .svg, .png);
                       options as for relan-cli fit (relan --report REPORT --help)
  relan --help         this help
  relan --version      the program version

Exit statuses: 0 done, 1 bad option, 2 data file not loaded,
3 calculation stopped, 4 report file not written, 5 internal error.
</translation>
    </message>
</context>
<context>
    <name>relan::Captions</name>
    <message>
        <source> — relan, версия %1</source>
        <translation> — relan, version %1</translation>
    </message>
    <message>
        <source>Анализ надежности</source>
        <translation>Reliability analysis</translation>
    </message>
    <message>
        <source>Анализ надежности в эксплуатации.</source>
        <translation>Field reliability analysis.</translation>
    </message>
</context>
<context>
    <name>relan::ChartExplorer</name>
    <message>
        <source>Копировать изображение</source>
        <translation>Copy image</translation>
    </message>
    <message>
        <source>Сохранить как PNG…</source>
        <translation>Save as PNG…</translation>
    </message>
    <message>
        <source>Сохранить как SVG…</source>
        <translation>Save as SVG…</translation>
    </message>
    <message>
        <source>Исходный масштаб</source>
        <translation>Original scale</translation>
    </message>
    <message>
        <source>Время наработки, час</source>
        <translation>Operating time, h</translation>
    </message>
    <message>
        <source>График</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>Сохранить график</source>
        <translation>Save chart</translation>
    </message>
    <message>
        <source>Рисунки SVG (*.svg)</source>
        <translation>SVG images (*.svg)</translation>
    </message>
    <message>
        <source>Рисунки PNG (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
</context>
<context>
    <name>relan::CoreWords</name>
    <message>
        <source>Расчёт модели по Пирсону методом спирального спуска выполнен за </source>
        <translation>Model 1.1 (Pearson criterion, spiral descent) calculated in </translation>
    </message>
    <message>
        <source>Расчёт модели по Пирсону методом Ньютона выполнен за </source>
        <translation>Model 1.2 (Pearson criterion, Newton&apos;s method) calculated in </translation>
    </message>
    <message>
        <source>Расчёт модели по Смирнову выполнен за </source>
        <translation>Model 2 (Smirnov criterion) calculated in </translation>
    </message>
    <message>
        <source>Расчёт модели 3 по максимуму правдоподобия выполнен за </source>
        <translation>Model 3 (maximum likelihood) calculated in </translation>
    </message>
    <message>
        <source> (ч:мин:с)</source>
        <translation> (h:min:s)</translation>
    </message>
    <message>
        <source>Доверительный 95% интервал частотной диаграммы = </source>
        <translation>95% confidence interval of the frequency diagram = </translation>
    </message>
    <message>
        <source>,  СКО= </source>
        <translation>,  SD= </translation>
    </message>
    <message>
        <source>Шаг=</source>
        <translation>Step=</translation>
    </message>
    <message>
        <source>  Sred=</source>
        <translation>  Mean=</translation>
    </message>
    <message>
        <source> SKO=</source>
        <translation> SD=</translation>
    </message>
    <message>
        <source>Модель 3 (максимум правдоподобия): </source>
        <translation>Model 3 (maximum likelihood): </translation>
    </message>
    <message>
        <source>K и B по данным не разделимы: надежны только N(t) и гамма-ресурсы</source>
        <translation>K and B cannot be separated by the data: only N(t) and the gamma lives are reliable</translation>
    </message>
    <message>
        <source>Модель 3: </source>
        <translation>Model 3: </translation>
    </message>
    <message>
        <source> ч, K = </source>
        <translation> h, K = </translation>
    </message>
    <message>
        <source> отказам</source>
        <translation> failures</translation>
    </message>
    <message>
        <source> отказов на изделие</source>
        <translation> failures per product</translation>
    </message>
    <message>
        <source>согласие с данными λ = </source>
        <translation>goodness of fit λ = </translation>
    </message>
    <message>
        <source>(не согласуется)</source>
        <translation>(does not agree)</translation>
    </message>
    <message>
        <source>(согласуется)</source>
        <translation>(agrees)</translation>
    </message>
    <message>
        <source> повторам</source>
        <translation> replicates</translation>
    </message>
    <message>
        <source>отказы ниже 1 ч (брак) не учитываются: </source>
        <translation>failures below 1 h (rejects) are not counted: </translation>
    </message>
    <message>
        <source>Создано генов </source>
        <translation>Genes created: </translation>
    </message>
    <message>
        <source>Копирование лучших</source>
        <translation>Copying the best</translation>
    </message>
    <message>
        <source>Исключительная ситуация!</source>
        <translation>Exception!</translation>
    </message>
    <message>
        <source>Подбор не нашел ни одного варианта с конечным значением критерия: модель не изменена</source>
        <translation>The fit found no variant with a finite criterion value: the model is unchanged</translation>
    </message>
    <message>
        <source> ЦФ=</source>
        <translation> OF=</translation>
    </message>
    <message>
        <source>Кповт=</source>
        <translation>Krep=</translation>
    </message>
    <message>
        <source> по </source>
        <translation> from </translation>
    </message>
    <message>
        <source> отказов</source>
        <translation> failures</translation>
    </message>
    <message>
        <source> Файл данных не загружен.</source>
        <translation> The data file was not loaded.</translation>
    </message>
    <message>
        <source> Файл времен гарантии не загружен.</source>
        <translation> The warranty times file was not loaded.</translation>
    </message>
    <message>
        <source>Файл времен гарантии не выбран</source>
        <translation>No warranty times file is chosen</translation>
    </message>
    <message>
        <source>Файл исходных данных не загружен</source>
        <translation>The failure data file is not loaded</translation>
    </message>
    <message>
        <source>Не указан файл</source>
        <translation>No file is given</translation>
    </message>
    <message>
        <source> не существует</source>
        <translation> does not exist</translation>
    </message>
    <message>
        <source> — это папка, а не файл</source>
        <translation> is a folder, not a file</translation>
    </message>
    <message>
        <source> — не обычный файл</source>
        <translation> is not a regular file</translation>
    </message>
    <message>
        <source>Не удалось открыть файл </source>
        <translation>Could not open the file </translation>
    </message>
    <message>
        <source>Не удалось прочитать файл </source>
        <translation>Could not read the file </translation>
    </message>
    <message>
        <source> пуст.</source>
        <translation> is empty.</translation>
    </message>
    <message>
        <source> кончается в заголовке: нет числа </source>
        <translation> ends in its header: no number </translation>
    </message>
    <message>
        <source>Ошибка в строке №</source>
        <translation>Error in line </translation>
    </message>
    <message>
        <source> файла </source>
        <translation> of the file </translation>
    </message>
    <message>
        <source> не является целым числом (</source>
        <translation> is not an integer (</translation>
    </message>
    <message>
        <source> не является числом (десятичный разделитель — точка).</source>
        <translation> is not a number (the decimal separator is a point).</translation>
    </message>
    <message>
        <source> не является числом (</source>
        <translation> is not a number (</translation>
    </message>
    <message>
        <source>; десятичный разделитель — точка).</source>
        <translation>; the decimal separator is a point).</translation>
    </message>
    <message>
        <source> вне допустимых пределов (</source>
        <translation> is out of range (</translation>
    </message>
    <message>
        <source>среднее время гарантии</source>
        <translation>warranty time mean</translation>
    </message>
    <message>
        <source>СКО времени гарантии</source>
        <translation>Warranty time SD</translation>
    </message>
    <message>
        <source>размер парка</source>
        <translation>fleet size</translation>
    </message>
    <message>
        <source>число отказов</source>
        <translation>number of failures</translation>
    </message>
    <message>
        <source>шестое число заголовка</source>
        <translation>sixth number of the header</translation>
    </message>
    <message>
        <source>от 0 до 1e9 ч</source>
        <translation>0 to 1e9 h</translation>
    </message>
    <message>
        <source>от 1 до 1e9 изделий</source>
        <translation>1 to 1e9 products</translation>
    </message>
    <message>
        <source>: время окончания гарантии </source>
        <translation>: warranty end time </translation>
    </message>
    <message>
        <source>Гистограмма отказов пуста: в данных нет отказов. Модели не рассчитаны.</source>
        <translation>The failure histogram is empty: the data hold no failures. No model was calculated.</translation>
    </message>
    <message>
        <source>В данных нет независимых отказов (все отказы - брак). Модели не рассчитаны.</source>
        <translation>The data hold no independent failures (all failures are rejects). No model was calculated.</translation>
    </message>
    <message>
        <source>Гистограмма отказов пуста: в данных нет отказов. Подбор не запущен.</source>
        <translation>The failure histogram is empty: the data hold no failures. The fit was not started.</translation>
    </message>
    <message>
        <source>В данных нет независимых отказов (все отказы - брак). Подбор не запущен.</source>
        <translation>The data hold no independent failures (all failures are rejects). The fit was not started.</translation>
    </message>
    <message>
        <source>&quot; не является числом. Расчет остановлен.</source>
        <translation>&quot; is not a number. The calculation was stopped.</translation>
    </message>
    <message>
        <source>&quot; не является конечным числом. Расчет остановлен.</source>
        <translation>&quot; is not a finite number. The calculation was stopped.</translation>
    </message>
    <message>
        <source>В файле </source>
        <translation>The file </translation>
    </message>
    <message>
        <source>Файл </source>
        <translation>File </translation>
    </message>
    <message>
        <source>Брак</source>
        <translation>Rejects</translation>
    </message>
    <message>
        <source>Другие</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>, отказов 10% от парка</source>
        <translation>, failures: 10% of the fleet</translation>
    </message>
    <message>
        <source>, отказов 20% от парка</source>
        <translation>, failures: 20% of the fleet</translation>
    </message>
    <message>
        <source>, отказов 50% от наблюдаемого парка</source>
        <translation>, failures: 50% of the observed fleet</translation>
    </message>
    <message>
        <source>, отказов 50% от парка с учетом цензурирования</source>
        <translation>, failures: 50% of the fleet, corrected for censoring</translation>
    </message>
    <message>
        <source>, отказов 80% от парка</source>
        <translation>, failures: 80% of the fleet</translation>
    </message>
    <message>
        <source>СКО времени гарантии в файле </source>
        <translation>The warranty time SD in the file </translation>
    </message>
    <message>
        <source> не положительно (</source>
        <translation> is not positive (</translation>
    </message>
    <message>
        <source>): поправка на окончание гарантии вырождена.</source>
        <translation>): the correction for the end of warranty degenerates.</translation>
    </message>
    <message>
        <source> есть отказы настолько позже среднего времени гарантии, что доля изделий, вышедших из гарантии, равна 1: вес каждого такого отказа ограничен значением 2^53.</source>
        <translation> has failures so far beyond the mean warranty time that the share of products out of warranty is 1: the weight of each such failure is limited to 2^53.</translation>
    </message>
    <message>
        <source>Время приработки &quot;</source>
        <translation>Burn-in time &quot;</translation>
    </message>
    <message>
        <source>&quot; не является числом: частота отказов рассчитана для времени приработки начала расчета, </source>
        <translation>&quot; is not a number: the failure rate was calculated for the burn-in time at the start of the calculation, </translation>
    </message>
    <message>
        <source>все окончания гарантии в списке не позже 1 ч — отказы не могли быть записаны</source>
        <translation>every warranty end in the list is at 1 h or earlier: no failure could have been recorded</translation>
    </message>
    <message>
        <source>среднее окончание гарантии должно быть положительным числом (задано </source>
        <translation>the mean warranty end must be a positive number (given </translation>
    </message>
    <message>
        <source>СКО окончания гарантии должно быть неотрицательным числом (задано </source>
        <translation>the SD of the warranty end must be a non-negative number (given </translation>
    </message>
    <message>
        <source> слишком велик (</source>
        <translation> is too large (</translation>
    </message>
    <message>
        <source> байт, допускается не более </source>
        <translation> bytes, at most </translation>
    </message>
    <message>
        <source>названо более </source>
        <translation>names more than </translation>
    </message>
    <message>
        <source> причины отказов (строка №</source>
        <translation> failure causes (line </translation>
    </message>
    <message>
        <source>); допускается не более </source>
        <translation>); at most </translation>
    </message>
    <message>
        <source> нет ни одной строки отказа: после заголовка и названий причин нет строки длиннее </source>
        <translation> has no failure line: after the header and the cause names no line is longer than </translation>
    </message>
    <message>
        <source> символов.</source>
        <translation> characters.</translation>
    </message>
    <message>
        <source> строк отказов; допускается не более </source>
        <translation> failure lines; at most </translation>
    </message>
    <message>
        <source> нет ни одной строки отказа: строки после названий причин пусты.</source>
        <translation> has no failure line: the lines after the cause names are empty.</translation>
    </message>
    <message>
        <source>, исправьте)</source>
        <translation>, correct it)</translation>
    </message>
    <message>
        <source> время окончания гарантии; для среднего и СКО нужно не менее двух.</source>
        <translation> warranty end time; the mean and SD need at least two.</translation>
    </message>
    <message>
        <source> нет ни одного</source>
        <translation> has no</translation>
    </message>
    <message>
        <source> только одно</source>
        <translation> has only one</translation>
    </message>
    <message>
        <source>Времена окончания гарантии в файле </source>
        <translation>The warranty end times in the file </translation>
    </message>
    <message>
        <source> слишком велики: среднее или СКО не представимо числом.</source>
        <translation> are too large: the mean or the SD cannot be represented as a number.</translation>
    </message>
    <message>
        <source>Размер популяции должен быть не меньше </source>
        <translation>The population size must be at least </translation>
    </message>
    <message>
        <source>Размер популяции должен быть не больше </source>
        <translation>The population size must be at most </translation>
    </message>
    <message>
        <source>Число поколений должно быть не меньше </source>
        <translation>The number of generations must be at least </translation>
    </message>
    <message>
        <source>Число поколений должно быть от </source>
        <translation>The number of generations must be from </translation>
    </message>
    <message>
        <source> (задано </source>
        <translation> (given </translation>
    </message>
    <message>
        <source> вне допустимых пределов: 1/точность, округленная до целого, должна быть от 1 до 2147483647</source>
        <translation> is out of range: 1/accuracy rounded to an integer must be from 1 to 2147483647</translation>
    </message>
    <message>
        <source>Точность подбора: &quot;</source>
        <translation>Fitting accuracy: &quot;</translation>
    </message>
    <message>
        <source>Точность подбора </source>
        <translation>Fitting accuracy </translation>
    </message>
    <message>
        <source>Размер популяции: &quot;</source>
        <translation>Population size: &quot;</translation>
    </message>
    <message>
        <source>Число поколений: &quot;</source>
        <translation>Number of generations: &quot;</translation>
    </message>
    <message>
        <source>&quot; не является целым числом</source>
        <translation>&quot; is not an integer</translation>
    </message>
    <message>
        <source>&quot; не является числом</source>
        <translation>&quot; is not a number</translation>
    </message>
    <message>
        <source> до </source>
        <translation> to </translation>
    </message>
    <message>
        <source> ч</source>
        <translation> h</translation>
    </message>
    <message>
        <source> от начала файла) не является частью символа UTF-8, а файл записан в UTF-8</source>
        <translation> from the start of the file) is no part of a UTF-8 character, while the file is written in UTF-8</translation>
    </message>
    <message>
        <source> от начала файла) не является частью символа UTF-8, а файл помечен как UTF-8 (метка BOM)</source>
        <translation> from the start of the file) is no part of a UTF-8 character, while the file is marked as UTF-8 (byte-order mark)</translation>
    </message>
    <message>
        <source>; всего таких байтов: </source>
        <translation>; such bytes in all: </translation>
    </message>
    <message>
        <source>. Исправьте эти байты или сохраните весь файл в одной кодировке: UTF-8 или Windows-1251.</source>
        <translation>. Correct these bytes or save the whole file in one encoding: UTF-8 or Windows-1251.</translation>
    </message>
    <message>
        <source>. Исправьте этот байт или сохраните весь файл в одной кодировке: UTF-8 или Windows-1251.</source>
        <translation>. Correct this byte or save the whole file in one encoding: UTF-8 or Windows-1251.</translation>
    </message>
    <message>
        <source>. Сохраните весь файл в одной кодировке: UTF-8 или Windows-1251.</source>
        <translation>. Save the whole file in one encoding: UTF-8 or Windows-1251.</translation>
    </message>
    <message>
        <source>: байт 0x</source>
        <translation>: byte 0x</translation>
    </message>
    <message>
        <source> (смещение </source>
        <translation> (offset </translation>
    </message>
    <message>
        <source> записан в двух кодировках: до строки №</source>
        <translation> is written in two encodings: before line </translation>
    </message>
    <message>
        <source> — UTF-8, с нее — Windows-1251</source>
        <translation>, UTF-8; from it on, Windows-1251</translation>
    </message>
    <message>
        <source> — Windows-1251, с нее — UTF-8</source>
        <translation>, Windows-1251; from it on, UTF-8</translation>
    </message>
    <message>
        <source>: файл в кодировке </source>
        <translation>: the file is in the encoding </translation>
    </message>
    <message>
        <source>, но байты со смещения </source>
        <translation>, but the bytes from offset </translation>
    </message>
    <message>
        <source> от начала файла не образуют символа (половина суррогатной пары без второй или код больше U+10FFFF).</source>
        <translation> from the start of the file form no character (half of a surrogate pair without the other, or a code above U+10FFFF).</translation>
    </message>
    <message>
        <source> обрывается посреди символа (строка №</source>
        <translation> ends in the middle of a character (line </translation>
    </message>
    <message>
        <source>): длина файла </source>
        <translation>): its length of </translation>
    </message>
    <message>
        <source> байт не кратна </source>
        <translation> bytes is not a multiple of </translation>
    </message>
    <message>
        <source> в кодировке </source>
        <translation> in the encoding </translation>
    </message>
    <message>
        <source> содержит управляющий символ с кодом </source>
        <translation> holds the control character of code </translation>
    </message>
    <message>
        <source> Строки файла кончаются по-разному (CR в одних, LF в других): сохраните его с одинаковыми концами строк, CR LF или LF.</source>
        <translation> The lines of the file end differently (CR in some, LF in others): save it with the same line ends, CR LF or LF.</translation>
    </message>
    <message>
        <source>(время окончания гарантии)</source>
        <translation>(warranty end time)</translation>
    </message>
    <message>
        <source> не открыт: символические ссылки на этом пути образуют петлю</source>
        <translation> was not opened: the symbolic links on this path form a loop</translation>
    </message>
    <message>
        <source> не открыт: нет прав на доступ к папке, в которой он лежит</source>
        <translation> was not opened: no permission to enter the folder it lies in</translation>
    </message>
    <message>
        <source> байт): система не открывает файлы по пути длиннее 4095 байт или с именем папки или файла длиннее 255 байт</source>
        <translation> bytes): the system opens no file by a path longer than 4095 bytes or with a folder or file name longer than 255 bytes</translation>
    </message>
    <message>
        <source> слишком длинный (</source>
        <translation> is too long (</translation>
    </message>
    <message>
        <source>Путь </source>
        <translation>The path </translation>
    </message>
    <message>
        <source> (всего строк отказов: </source>
        <translation> (of all failure rows: </translation>
    </message>
    <message>
        <source>строка без табуляции, и ее первое слово — не наработка (разделите наработку и источник отказа табуляцией)</source>
        <translation>a row without a tab whose first word is not a time (separate the time and the failure source with a tab)</translation>
    </message>
    <message>
        <source>строка без табуляции, и неясно, где кончается наработка (разделите наработку и источник отказа табуляцией)</source>
        <translation>a row without a tab in which the end of the time is unclear (separate the time and the failure source with a tab)</translation>
    </message>
    <message>
        <source>в поле наработки управляющий символ</source>
        <translation>a control character in the time field</translation>
    </message>
    <message>
        <source>наработка не является числом</source>
        <translation>the time is not a number</translation>
    </message>
    <message>
        <source>наработка отрицательна</source>
        <translation>the time is negative</translation>
    </message>
    <message>
        <source>наработка больше 1e9 ч</source>
        <translation>the time exceeds 1e9 h</translation>
    </message>
    <message>
        <source>наработка не указана</source>
        <translation>no time given</translation>
    </message>
    <message>
        <source>Ни одна строка отказа не прочитана.</source>
        <translation>No failure row could be read.</translation>
    </message>
    <message>
        <source>… и ещё </source>
        <translation>… and </translation>
    </message>
    <message>
        <source>строка №</source>
        <translation>line </translation>
    </message>
    <message>
        <source>Строк отказов с ошибками в файле </source>
        <translation>Failure rows with errors in file </translation>
    </message>
    <message>
        <source>Модель 1.1 по Пирсону: поиск остановлен по времени, не сойдясь (шаги параметров не стали меньше допусков) - оценки могут быть не наилучшими.</source>
        <translation>Model 1.1 (Pearson): search stopped by its time limit before converging (the parameter steps did not fall below their tolerances) - the estimates may not be the best.</translation>
    </message>
    <message>
        <source>Модель 2 по Смирнову: поиск остановлен по времени, не сойдясь (шаги параметров не стали меньше допусков) - оценки могут быть не наилучшими.</source>
        <translation>Model 2 (Smirnov): search stopped by its time limit before converging (the parameter steps did not fall below their tolerances) - the estimates may not be the best.</translation>
    </message>
    <message>
        <source> Файл наработок парка не загружен.</source>
        <translation> The fleet&apos;s ages file was not loaded.</translation>
    </message>
    <message>
        <source>Файл наработок парка не выбран</source>
        <translation>No fleet ages file is chosen</translation>
    </message>
    <message>
        <source>Сначала загрузите файл данных: число изделий сверяется с его парком.</source>
        <translation>Load the data file first: the number of products is checked against its fleet.</translation>
    </message>
    <message>
        <source> изделий, а парк файла данных — </source>
        <translation> products, and the data file&apos;s fleet is </translation>
    </message>
    <message>
        <source> изделий: число изделий должно совпадать.</source>
        <translation> products: the numbers of products must be equal.</translation>
    </message>
    <message>
        <source> нет ни одного изделия.</source>
        <translation> there is no product.</translation>
    </message>
    <message>
        <source>нет наработки изделия.</source>
        <translation>the product&apos;s operating time is missing.</translation>
    </message>
    <message>
        <source>наработка изделия </source>
        <translation>product&apos;s operating time </translation>
    </message>
    <message>
        <source>окончание гарантии </source>
        <translation>warranty end </translation>
    </message>
    <message>
        <source>наработка в месяц </source>
        <translation>hours per month </translation>
    </message>
    <message>
        <source> не является числом (десятичный разделитель — точка или запятая).</source>
        <translation> is not a number (the decimal separator is a point or a comma).</translation>
    </message>
    <message>
        <source>больше трех значений (наработка, окончание гарантии, наработка в месяц) — </source>
        <translation>more than three values (operating time, warranty end, hours per month) — </translation>
    </message>
    <message>
        <source> лишнее.</source>
        <translation> is one too many.</translation>
    </message>
    <message>
        <source>В файле данных отказ при наработке </source>
        <translation>The data file has a failure at </translation>
    </message>
    <message>
        <source> ч, а наибольшая наработка изделий в файле </source>
        <translation> h, while the oldest product in the file </translation>
    </message>
    <message>
        <source>до окончания гарантии ожидается еще отказов: </source>
        <translation>claims still expected before warranty ends: </translation>
    </message>
    <message>
        <source>парк в эксплуатации — Sred и СКО окончания гарантии не подбираются, берутся заданные</source>
        <translation>a fleet in service — the warranty end figures Sred and SD are not fitted; the given ones are used</translation>
    </message>
    <message>
        <source>помесячный прогноз не построен — не задана наработка в месяц (ни в файле наработок, ни для парка)</source>
        <translation>no monthly forecast — no hours per month are given (neither in the ages file nor for the fleet)</translation>
    </message>
</context>
<context>
    <name>relan::FailureListModel</name>
    <message>
        <source> № отказа</source>
        <translation> No.</translation>
    </message>
    <message>
        <source>Наработка, ч</source>
        <translation>Op. time, h</translation>
    </message>
    <message>
        <source>Источник отказа</source>
        <translation>Failure source</translation>
    </message>
    <message>
        <source>Описание отказа</source>
        <translation>Failure description</translation>
    </message>
</context>
<context>
    <name>relan::LanguageMenu</name>
    <message>
        <source>Язык</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Язык интерфейса изменится при следующем запуске программы.</source>
        <translation>The interface language will change at the next start of the program.</translation>
    </message>
    <message>
        <source>Язык интерфейса не сохранен и при следующем запуске не изменится: %1</source>
        <translation>The interface language was not saved and will not change at the next start: %1</translation>
    </message>
</context>
<context>
    <name>relan::LnChart</name>
    <message>
        <source>Накопленние отказов по времени наблюдения</source>
        <translation>Failure accumulation over observation time</translation>
    </message>
    <message>
        <source>Log t (часов)</source>
        <translation>Log t (hours)</translation>
    </message>
    <message>
        <source>Log N (отказов)</source>
        <translation>Log N (failures)</translation>
    </message>
    <message>
        <source>Отказы</source>
        <translation>Failures</translation>
    </message>
    <message>
        <source>Прямая по методу наименьших квадратов</source>
        <translation>Least-squares line</translation>
    </message>
    <message>
        <source>t = %1 ч, N = %2</source>
        <translation>t = %1 h, N = %2</translation>
    </message>
</context>
<context>
    <name>relan::MlPanel</name>
    <message>
        <source>Показатель</source>
        <translation>Figure</translation>
    </message>
    <message>
        <source>Оценка</source>
        <translation>Estimate</translation>
    </message>
    <message>
        <source>95% интервал</source>
        <translation>95% interval</translation>
    </message>
    <message>
        <source>Ожидается</source>
        <translation>Expected</translation>
    </message>
    <message>
        <source>95% прогнозный интервал</source>
        <translation>95% prediction interval</translation>
    </message>
    <message>
        <source>Прогноз отказов по месяцам</source>
        <translation>Forecast of claims by month</translation>
    </message>
    <message>
        <source>Месяц</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>Отказов в месяц</source>
        <translation>Claims a month</translation>
    </message>
</context>
<context>
    <name>relan::Numbers</name>
    <message>
        <source>Поле «%1» не заполнено: введите число.</source>
        <translation>The field “%1” is empty: enter a number.</translation>
    </message>
    <message>
        <source>«%1» в поле «%2» не является числом (десятичный разделитель - точка или запятая).</source>
        <translation>“%1” in the field “%2” is not a number (the decimal separator is a point or a comma).</translation>
    </message>
</context>
<context>
    <name>relan::OpenDialog</name>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>relan::Printing</name>
    <message>
        <source>Печать</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Файл PDF сохранен: %1</source>
        <translation>PDF file saved: %1</translation>
    </message>
    <message>
        <source>Принтер не установлен. Сохранить изображение окна в файл PDF?</source>
        <translation>No printer is installed. Save the window image to a PDF file?</translation>
    </message>
    <message>
        <source>Сохранить изображение окна</source>
        <translation>Save window image</translation>
    </message>
    <message>
        <source>Файлы PDF (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>Не удалось начать печать на принтере «%1».</source>
        <translation>Could not start printing on the printer “%1”.</translation>
    </message>
    <message>
        <source>Принтер не установлен. Сохранить результаты в файл PDF?</source>
        <translation>No printer is installed. Save the results to a PDF file?</translation>
    </message>
    <message>
        <source>Сохранить результаты</source>
        <translation>Save results</translation>
    </message>
</context>
<context>
    <name>relan::QtDialogs</name>
    <message>
        <source>Настройка печати</source>
        <translation>Page setup</translation>
    </message>
</context>
<context>
    <name>relan::ReportHeader</name>
    <message>
        <source>Файл данных: </source>
        <translation>Data file: </translation>
    </message>
    <message>
        <source>файл гарантии: </source>
        <translation>warranty file: </translation>
    </message>
    <message>
        <source>модели: </source>
        <translation>models: </translation>
    </message>
    <message>
        <source>Специальный 1</source>
        <translation>Special 1</translation>
    </message>
    <message>
        <source>Стандарт</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Специальный 2</source>
        <translation>Special 2</translation>
    </message>
    <message>
        <source>способ подбора: </source>
        <translation>fitting method: </translation>
    </message>
    <message>
        <source>приработка </source>
        <translation>burn-in </translation>
    </message>
    <message>
        <source> ч</source>
        <translation> h</translation>
    </message>
    <message>
        <source>подбор СВН и СКО</source>
        <translation>fitted warranty mean and SD</translation>
    </message>
    <message>
        <source>подбор СВН</source>
        <translation>fitted warranty mean</translation>
    </message>
    <message>
        <source>подбор СКО</source>
        <translation>fitted warranty SD</translation>
    </message>
    <message>
        <source>виртуальные часы %1 оценок/с</source>
        <translation>virtual clock %1 evaluations/s</translation>
    </message>
    <message>
        <source>зерно %1</source>
        <translation>seed %1</translation>
    </message>
    <message>
        <source>бутстреп %1</source>
        <translation>bootstrap %1</translation>
    </message>
    <message>
        <source>ген. алгоритм</source>
        <translation>genetic algorithm</translation>
    </message>
    <message>
        <source>файл наработок: </source>
        <translation>ages file: </translation>
    </message>
</context>
<context>
    <name>relan::ResultsChart</name>
    <message>
        <source>Нижняя граница: %1</source>
        <translation>Lower bound: %1</translation>
    </message>
</context>
<context>
    <name>relan::ResultsGrid</name>
    <message>
        <source>Результаты анализа</source>
        <translation>Analysis results</translation>
    </message>
</context>
<context>
    <name>relan::Settings</name>
    <message>
        <source>это папка, а не файл</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>нет прав на чтение</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>он поврежден</source>
        <translation>it is damaged</translation>
    </message>
    <message>
        <source>Файл настроек «%1» поврежден и не отложен: настройки в него не записываются.</source>
        <translation>The settings file “%1” is damaged and was not set aside: the settings are not written to it.</translation>
    </message>
    <message>
        <source>Файл настроек «%1» не прочитан: %2. Последний файл, список последних файлов и язык не восстановлены.</source>
        <translation>The settings file “%1” was not read: %2. The last file, the recent files and the language were not restored.</translation>
    </message>
    <message>
        <source>Файл настроек «%1» поврежден и отложен как «%2». Настройки начаты заново: последний файл, список последних файлов и язык не восстановлены.</source>
        <translation>The settings file “%1” is damaged and was set aside as “%2”. The settings start afresh: the last file, the recent files and the language were not restored.</translation>
    </message>
    <message>
        <source>Настройки программы не сохранены: %1. Последний файл, список последних файлов и язык запомнены только до закрытия программы.</source>
        <translation>The program settings were not saved: %1. The last file, the recent files and the language are kept only until the program closes.</translation>
    </message>
    <message>
        <source>Файл настроек «%1» поврежден и не прочитан; отложить его не удалось (%2), поэтому настройки в него не записываются.</source>
        <translation>The settings file “%1” is damaged and was not read; it could not be set aside (%2), so the settings are not written to it.</translation>
    </message>
</context>
<context>
    <name>relan::Startup</name>
    <message>
        <source>Параметры должны быть t2&gt;t1</source>
        <translation>The parameters must satisfy t2&gt;t1</translation>
    </message>
</context>
<context>
    <name>relan::TForm1</name>
    <message>
        <source>. Файл данных не загружен.</source>
        <translation>. The data file was not loaded.</translation>
    </message>
    <message>
        <source>Не указан путь к файлу исходных данных</source>
        <translation>No path to the failure data file is given</translation>
    </message>
    <message>
        <source>Среднее время гарантии</source>
        <translation>Warranty time mean</translation>
    </message>
    <message>
        <source>СКО времени гарантии</source>
        <translation>Warranty time SD</translation>
    </message>
    <message>
        <source>Расчетный период учета отказов</source>
        <translation>Failure counting period</translation>
    </message>
    <message>
        <source>Расч. время приработки</source>
        <translation>Burn-in time</translation>
    </message>
    <message>
        <source>Прервать расчет?</source>
        <translation>Abort the calculation?</translation>
    </message>
    <message>
        <source>Файлы данных|*.txt;*.rel|Все файлы|*</source>
        <translation>Data files|*.txt;*.rel|All files|*</translation>
    </message>
    <message>
        <source>Файл времен гарантии|gar*.txt|Все файлы|*</source>
        <translation>Warranty times file|gar*.txt|All files|*</translation>
    </message>
    <message>
        <source>Параметры оптимизации</source>
        <translation>Optimisation parameters</translation>
    </message>
    <message>
        <source>Минимум попадпний в столбец гистограммы</source>
        <translation>Minimum hits per histogram bar</translation>
    </message>
    <message>
        <source>Коэф-т уменьшения шага модели 1.1</source>
        <translation>Step reduction factor, model 1.1</translation>
    </message>
    <message>
        <source>Коэф-т уменьшения шага модели 1.2</source>
        <translation>Step reduction factor, model 1.2</translation>
    </message>
    <message>
        <source>Коэф-т уменьшения шага модели 2</source>
        <translation>Step reduction factor, model 2</translation>
    </message>
    <message>
        <source>Расчет</source>
        <translation>Calculation</translation>
    </message>
    <message>
        <source>Время расчета (ч:мин:с)</source>
        <translation>Calculation time (h:min:s)</translation>
    </message>
    <message>
        <source>Модель 1.1 по Пирсону, метод спирального спуска </source>
        <translation>Model 1.1, Pearson criterion, spiral descent </translation>
    </message>
    <message>
        <source>Модель 1.2 по Пирсону, метод Ньютона </source>
        <translation>Model 1.2, Pearson criterion, Newton&apos;s method </translation>
    </message>
    <message>
        <source>Модель 2 (по Смирнову)</source>
        <translation>Model 2 (Smirnov criterion)</translation>
    </message>
    <message>
        <source>Модель 3 (макс. правдоподобия)</source>
        <translation>Model 3 (maximum likelihood)</translation>
    </message>
    <message>
        <source>Подбор по отдельным отказам с 95% доверительными интервалами и проверкой согласия</source>
        <translation>Fit to the individual failures with 95% confidence intervals and a goodness-of-fit test</translation>
    </message>
    <message>
        <source>Подбор СВН (мет.1)</source>
        <translation>Fit warranty mean (meth. 1)</translation>
    </message>
    <message>
        <source>Подбор СКО (мет.1)</source>
        <translation>Fit warranty SD (meth. 1)</translation>
    </message>
    <message>
        <source>Способ подбора параметров</source>
        <translation>Parameter fitting method</translation>
    </message>
    <message>
        <source>Специальный 1 </source>
        <translation>Special 1 </translation>
    </message>
    <message>
        <source>Стандарт (default)</source>
        <translation>Standard (default)</translation>
    </message>
    <message>
        <source>Специальный 2</source>
        <translation>Special 2</translation>
    </message>
    <message>
        <source>Отображение после основного расчета, для нового файла перегрузить!</source>
        <translation>Shown after the main calculation; reload for a new file!</translation>
    </message>
    <message>
        <source>Точность подбора</source>
        <translation>Fitting accuracy</translation>
    </message>
    <message>
        <source>Размер популяции</source>
        <translation>Population size</translation>
    </message>
    <message>
        <source>Число поколений</source>
        <translation>Number of generations</translation>
    </message>
    <message>
        <source>Скопировать лучших</source>
        <translation>Copy the best</translation>
    </message>
    <message>
        <source>шт.</source>
        <translation>pcs</translation>
    </message>
    <message>
        <source>Скопировать из популяции лучшие варианты и убрать столько же худших</source>
        <translation>Copy the best variants of the population and remove as many of the worst</translation>
    </message>
    <message>
        <source>Вероятность скрещивания</source>
        <translation>Crossover probability</translation>
    </message>
    <message>
        <source>Вероятность мутаций</source>
        <translation>Mutation probability</translation>
    </message>
    <message>
        <source>Вероятность скрещивания </source>
        <translation>Crossover probability </translation>
    </message>
    <message>
        <source>Вероятность мутации </source>
        <translation>Mutation probability </translation>
    </message>
    <message>
        <source>Подбор параметров генетическим алгоритмом</source>
        <translation>Fit the parameters with the genetic algorithm</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Ход расчета</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Лучших вариантов записано с последнего копирования</source>
        <translation>Best variants recorded since the last copy</translation>
    </message>
    <message>
        <source>Записано лучших: </source>
        <translation>Best recorded: </translation>
    </message>
    <message>
        <source> (ч:мин:с)</source>
        <translation> (h:min:s)</translation>
    </message>
    <message>
        <source>1. Основной подбор параметров распределения</source>
        <translation>1. Main fit of the distribution parameters</translation>
    </message>
    <message>
        <source>2. Генетический алгоритм</source>
        <translation>2. Genetic algorithm</translation>
    </message>
    <message>
        <source>Ход решения</source>
        <translation>Calculation log</translation>
    </message>
    <message>
        <source>Данные из файла об отказах изделий</source>
        <translation>Product failures from the data file</translation>
    </message>
    <message>
        <source>Файл исходных данных:</source>
        <translation>Failure data file:</translation>
    </message>
    <message>
        <source>выберите файл кнопкой «Путь»</source>
        <translation>choose a file with the “Path” button</translation>
    </message>
    <message>
        <source>Путь</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>Файл содержит строки комментария, среднего времени окончания гарантии, СКО гарантии, парка, числа всех отказов и массив времен отказов</source>
        <translation>The file holds lines of a comment, the mean warranty end time, the warranty SD, the fleet, the number of all failures and the array of failure times</translation>
    </message>
    <message>
        <source>Среднее количество объектов в гарантийный период</source>
        <translation>Mean number of units under warranty</translation>
    </message>
    <message>
        <source>Количество независимых отказов 2-3 групп сложности</source>
        <translation>Number of independent failures of complexity groups 2-3</translation>
    </message>
    <message>
        <source> Среднее время гарантии</source>
        <translation> Warranty time mean</translation>
    </message>
    <message>
        <source>Среднее время наблюдений</source>
        <translation>Mean observation time</translation>
    </message>
    <message>
        <source> СКО времени гарантии</source>
        <translation> Warranty time SD</translation>
    </message>
    <message>
        <source> Расчетный период учета отказов</source>
        <translation> Failure counting period</translation>
    </message>
    <message>
        <source> Расч. время приработки</source>
        <translation> Burn-in time</translation>
    </message>
    <message>
        <source>Файл данных времен окончания гарантии</source>
        <translation>Warranty end times data file</translation>
    </message>
    <message>
        <source>Результат расчета массива времен окончания гарантии</source>
        <translation>Calculated warranty end times</translation>
    </message>
    <message>
        <source>Количество объектов анализа</source>
        <translation>Number of units analysed</translation>
    </message>
    <message>
        <source>Среднее время гарантии, ч.</source>
        <translation>Warranty time mean, h</translation>
    </message>
    <message>
        <source>СКО времени гарантии, ч.</source>
        <translation>Warranty time SD, h</translation>
    </message>
    <message>
        <source>Отказы</source>
        <translation>Failures</translation>
    </message>
    <message>
        <source>Дождитесь окончания расчета: книга Excel записывается по его результатам.</source>
        <translation>Wait for the calculation to end: the Excel workbook is written from its results.</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Открыть данные…</source>
        <translation>Open data…</translation>
    </message>
    <message>
        <source>Открыть файл гарантии…</source>
        <translation>Open warranty file…</translation>
    </message>
    <message>
        <source>Последние файлы</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>Сохранить отчет PDF…</source>
        <translation>Save PDF report…</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Генетический алгоритм</source>
        <translation>Genetic algorithm</translation>
    </message>
    <message>
        <source>Вид</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Показать результаты</source>
        <translation>Show results</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Формат файлов</source>
        <translation>File formats</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Файл «%1» не найден. Он убран из списка последних файлов.</source>
        <translation>The file “%1” was not found. It has been removed from the recent files.</translation>
    </message>
    <message>
        <source>Сохранить отчет PDF</source>
        <translation>Save PDF report</translation>
    </message>
    <message>
        <source>Результаты анализа.pdf</source>
        <translation>Analysis results.pdf</translation>
    </message>
    <message>
        <source>Файлы PDF (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>Отчет сохранен: %1</source>
        <translation>Report saved: %1</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>relan — анализ надежности изделий в гарантийной эксплуатации
Версия %1

Используемые библиотеки и их лицензии:
Qt %2 — GNU LGPL v3
Boost.Math — Boost Software License 1.0
Eigen — Mozilla Public License 2.0
libxlsxwriter — BSD 2-Clause
nlohmann-json — MIT
CLI11 — BSD 3-Clause</source>
        <translation>relan — reliability analysis of products in warranty operation
Version %1

Libraries used and their licences:
Qt %2 — GNU LGPL v3
Boost.Math — Boost Software License 1.0
Eigen — Mozilla Public License 2.0
libxlsxwriter — BSD 2-Clause
nlohmann-json — MIT
CLI11 — BSD 3-Clause</translation>
    </message>
    <message>
        <source>Файл данных не загружен: откройте его кнопкой «Путь» (Файл → Открыть данные…).</source>
        <translation>No data file is loaded: open one with “Path” (File → Open data…).</translation>
    </message>
    <message>
        <source>«%1» в поле «%2» вне допустимых пределов (%3).</source>
        <translation>“%1” in the field “%2” is out of range (%3).</translation>
    </message>
    <message>
        <source>Из файла данных</source>
        <translation>From the data file</translation>
    </message>
    <message>
        <source>Из файла данных (среднее время гарантии); в расчете не используется</source>
        <translation>From the data file (mean warranty time); not used in the calculation</translation>
    </message>
    <message>
        <source>:/help/file-formats.ru.md</source>
        <translation>:/help/file-formats.md</translation>
    </message>
    <message>
        <source>Загрузить остальные строки отказов (%1) без строк с ошибками?</source>
        <translation>Load the other failure rows (%1) without the rows with errors?</translation>
    </message>
    <message>
        <source>Сначала загрузите файл данных: число изделий в файле наработок сверяется с его парком.</source>
        <translation>Load the data file first: the number of products in the ages file is checked against its fleet.</translation>
    </message>
    <message>
        <source>%1
Изделий: %2, с известным окончанием гарантии: %3, с наработкой в месяц: %4; средняя наработка %5 ч</source>
        <translation>%1
Products: %2, with a known warranty end: %3, with hours per month: %4; mean operating time %5 h</translation>
    </message>
    <message>
        <source>Наработка в месяц</source>
        <translation>Hours per month</translation>
    </message>
    <message>
        <source>«%1» в поле «Наработка в месяц» вне допустимых пределов (больше 0, до 744 ч).</source>
        <translation>“%1” in the field “Hours per month” is out of range (above 0, up to 744 h).</translation>
    </message>
    <message>
        <source>«%1» в поле «Месяцев прогноза» вне допустимых пределов (целое от 1 до %2).</source>
        <translation>“%1” in the field “Months to forecast” is out of range (a whole number from 1 to %2).</translation>
    </message>
    <message>
        <source>Файл наработок парка|*.txt|Все файлы|*</source>
        <translation>Fleet ages file|*.txt|All files|*</translation>
    </message>
    <message>
        <source>Открыть файл наработок парка…</source>
        <translation>Open fleet ages file…</translation>
    </message>
    <message>
        <source>Файлы наработок парка</source>
        <translation>Fleet ages files</translation>
    </message>
    <message>
        <source>Файл наработок парка</source>
        <translation>Fleet ages file</translation>
    </message>
    <message>
        <source>Парк в эксплуатации: наработка каждого изделия сейчас, окончание его гарантии и наработка в месяц, если известны</source>
        <translation>A fleet in service: each product&apos;s operating time now, its warranty end and its hours per month when known</translation>
    </message>
    <message>
        <source>Файл…</source>
        <translation>File…</translation>
    </message>
    <message>
        <source>Наработка в месяц, ч (для изделий без своей)</source>
        <translation>Hours per month (for products without their own)</translation>
    </message>
    <message>
        <source>Пусто — берется из файла наработок</source>
        <translation>Empty: taken from the ages file</translation>
    </message>
    <message>
        <source>Месяцев прогноза</source>
        <translation>Months to forecast</translation>
    </message>
    <message>
        <source>Закончить проверку согласия модели 3 (бутстреп) с уже сделанными повторами</source>
        <translation>End model 3&apos;s goodness-of-fit check (the bootstrap) with the replicates done so far</translation>
    </message>
</context>
<context>
    <name>relan::TForm5</name>
    <message>
        <source>Количественный анализ закона распределения отказов. Анализ надежности в эксплуатации.</source>
        <translation>Quantitative analysis of the failure distribution. Field reliability analysis.</translation>
    </message>
    <message>
        <source>Отказы - факт и с коррекцией по выбыванию из гарантии, Ln количества
Если поток снижается, параметры гарантийного срока завышены </source>
        <translation>Failures: actual and corrected for leaving warranty, Ln of the count
If the rate falls, the warranty time parameters are too high </translation>
    </message>
    <message>
        <source>Время наработки, час</source>
        <translation>Operating time, h</translation>
    </message>
    <message>
        <source>Отказов за 100 час. на изделие</source>
        <translation>Failures per 100 h per product</translation>
    </message>
    <message>
        <source>Ln числа отказов</source>
        <translation>Ln of the number of failures</translation>
    </message>
    <message>
        <source>Ln времени наработки</source>
        <translation>Ln of the operating time</translation>
    </message>
    <message>
        <source>Изменение потока отказов в течение гарантийного периода</source>
        <translation>Failure rate over the warranty period</translation>
    </message>
    <message>
        <source>Отказов за 100 час на 1 изделие</source>
        <translation>Failures per 100 h per product</translation>
    </message>
    <message>
        <source>Накопление отказов, уход из наблюдения (гарантии), %</source>
        <translation>Failure accumulation, leaving observation (warranty), %</translation>
    </message>
    <message>
        <source>Отказов на 1 изделие</source>
        <translation>Failures per product</translation>
    </message>
    <message>
        <source>Выбывание из гарантии, %</source>
        <translation>Leaving warranty, %</translation>
    </message>
    <message>
        <source>Интегральные (накопленные) оценки потока отказов</source>
        <translation>Cumulative estimates of the failure rate</translation>
    </message>
    <message>
        <source>Печать</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Продолж.</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>Результаты анализа.pdf</source>
        <translation>Analysis results.pdf</translation>
    </message>
</context>
<context>
    <name>relan::TLNview</name>
    <message>
        <source>Анализ закона распределения отказов. Анализ надежности в эксплуатации.</source>
        <translation>Analysis of the failure distribution. Field reliability analysis.</translation>
    </message>
    <message>
        <source>Печать</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Продолж.</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>Накопление отказов.pdf</source>
        <translation>Failure accumulation.pdf</translation>
    </message>
</context>
<context>
    <name>relan::TableTools</name>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Выделить строки</source>
        <translation>Select rows</translation>
    </message>
    <message>
        <source>Выделить столбцы</source>
        <translation>Select columns</translation>
    </message>
    <message>
        <source>Выделить все</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Сохранить как CSV…</source>
        <translation>Save as CSV…</translation>
    </message>
    <message>
        <source>Сохранить как Excel…</source>
        <translation>Save as Excel…</translation>
    </message>
    <message>
        <source>Сохранить как Excel</source>
        <translation>Save as Excel</translation>
    </message>
    <message>
        <source>Сохранить как CSV</source>
        <translation>Save as CSV</translation>
    </message>
    <message>
        <source>Книги Excel (*.xlsx)</source>
        <translation>Excel workbooks (*.xlsx)</translation>
    </message>
    <message>
        <source>Файлы CSV (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
</context>
</TS>