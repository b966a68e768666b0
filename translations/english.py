#!/usr/bin/env python3
# Fills the English translations of translations/relan_en.ts from the table below
# (Russian source text -> English). Texts without an entry stay unfinished; run after
# `cmake --build build --target update_translations` has added new texts:
#   python3 translations/english.py translations/relan_en.ts
import re
import sys
import xml.etree.ElementTree as ET

EN = {
    'допустимы языки ru и en': 'the languages are ru and en',
    'Предупреждение: ': 'Warning: ',
    'Нижняя граница: %1': 'Lower bound: %1',
    'Закончить проверку согласия модели 3 (бутстреп) с уже сделанными повторами':
        'End model 3\'s goodness-of-fit check (the bootstrap) with the replicates done so far',
    'Ход решения': 'Solution progress',
    'Отчет записан: ': 'Report written: ',
    'файл записан не полностью':
        'the file was not written completely',
    'документ PDF не завершен':
        'the PDF document is incomplete',
    'архив книги Excel не завершен':
        'the Excel workbook archive is incomplete',
    'не указано имя файла':
        'no file name is given',
    'системная ошибка':
        'system error',
    'библиотека книг Excel не смогла составить книгу':
        'the Excel workbook library could not make the workbook',
    'не удалось составить содержимое файла':
        'the contents of the file could not be made',
    'нет места на диске':
        'no space left on the disc',
    'превышена квота на диске':
        'the disc quota is exceeded',
    'нет прав на запись':
        'no permission to write',
    'диск доступен только для чтения':
        'the disc is read-only',
    'папка не существует':
        'the folder does not exist',
    'часть пути не является папкой':
        'a part of the path is not a folder',
    'слишком длинное имя файла':
        'the file name is too long',
    'в пути петля символических ссылок':
        'the path has a loop of symbolic links',
    'ошибка ввода-вывода':
        'input/output error',
    'файл больше допустимого размера':
        'the file is larger than the allowed size',
    'открыто слишком много файлов':
        'too many files are open',
    'файл занят':
        'the file is busy',
    'недостаточно памяти':
        'not enough memory',
    'читающая программа закрыла канал':
        'the reading program closed the pipe',
    'вывод закрыт':
        'the output is closed',
    'устройство недоступно':
        'the device is not available',
    'Язык интерфейса не сохранен и при следующем запуске не изменится: %1':
        'The interface language was not saved and will not change at the next start: %1',
    'нет прав на чтение':
        'no permission to read',
    'он поврежден':
        'it is damaged',
    'Файл настроек «%1» поврежден и не отложен: настройки в него не записываются.':
        'The settings file “%1” is damaged and was not set aside: the settings are not written to it.',
    'Файл настроек «%1» не прочитан: %2. Последний файл, список последних файлов и язык не восстановлены.':
        'The settings file “%1” was not read: %2. The last file, the recent files and the language were not restored.',
    'Файл настроек «%1» поврежден и отложен как «%2». Настройки начаты заново: последний файл, список последних файлов и язык не восстановлены.':
        'The settings file “%1” is damaged and was set aside as “%2”. The settings start afresh: the last file, the recent files and the language were not restored.',
    'Настройки программы не сохранены: %1. Последний файл, список последних файлов и язык запомнены только до закрытия программы.':
        'The program settings were not saved: %1. The last file, the recent files and the language are kept only until the program closes.',
    'Файл настроек «%1» поврежден и не прочитан; отложить его не удалось (%2), поэтому настройки в него не записываются.':
        'The settings file “%1” is damaged and was not read; it could not be set aside (%2), so the settings are not written to it.',
    ' — relan, версия %1': ' — relan, version %1',
    'Анализ надежности': 'Reliability analysis',
    'Анализ надежности в эксплуатации.': 'Field reliability analysis.',
    'Накопленние отказов по времени наблюдения': 'Failure accumulation over observation time',
    'Log t (часов)': 'Log t (hours)',
    'Log N (отказов)': 'Log N (failures)',
    'Показатель': 'Figure',
    'Оценка': 'Estimate',
    '95% интервал': '95% interval',
    'Поле «%1» не заполнено: введите число.': 'The field “%1” is empty: enter a number.',
    '«%1» в поле «%2» не является числом (десятичный разделитель - точка или запятая).':
        '“%1” in the field “%2” is not a number (the decimal separator is a point or a comma).',
    '«%1» в поле «%2» вне допустимых пределов (%3).': '“%1” in the field “%2” is out of range (%3).',
    'Из файла данных': 'From the data file',
    ':/help/file-formats.ru.md': ':/help/file-formats.md',
    'Файл данных не загружен: откройте его кнопкой «Путь» (Файл → Открыть данные…).':
        'No data file is loaded: open one with “Path” (File → Open data…).',
    'Из файла данных (среднее время гарантии); в расчете не используется':
        'From the data file (mean warranty time); not used in the calculation',
    'Открыть': 'Open',
    'Печать': 'Print',
    'Файл PDF сохранен: %1': 'PDF file saved: %1',
    'Принтер не установлен. Сохранить изображение окна в файл PDF?':
        'No printer is installed. Save the window image to a PDF file?',
    'Сохранить изображение окна': 'Save window image',
    'Файлы PDF (*.pdf)': 'PDF files (*.pdf)',
    'Не удалось записать файл «%1».': 'Could not write the file “%1”.',
    'Не удалось начать печать на принтере «%1».': 'Could not start printing on the printer “%1”.',
    'Принтер не установлен. Сохранить результаты в файл PDF?': 'No printer is installed. Save the results to a PDF file?',
    'Сохранить результаты': 'Save results',
    'Настройка печати': 'Page setup',
    'Файл данных: ': 'Data file: ',
    'файл гарантии: ': 'warranty file: ',
    'модели: ': 'models: ',
    'Специальный 1': 'Special 1',
    'Стандарт': 'Standard',
    'Специальный 2': 'Special 2',
    'способ подбора: ': 'fitting method: ',
    'приработка ': 'burn-in ',
    ' ч': ' h',
    'подбор СВН и СКО': 'fitted warranty mean and SD',
    'подбор СВН': 'fitted warranty mean',
    'подбор СКО': 'fitted warranty SD',
    'виртуальные часы %1 оценок/с': 'virtual clock %1 evaluations/s',
    'зерно %1': 'seed %1',
    'бутстреп %1': 'bootstrap %1',
    'ген. алгоритм': 'genetic algorithm',
    '. Файл данных не загружен.': '. The data file was not loaded.',
    'Не указан путь к файлу исходных данных': 'No path to the failure data file is given',
    'Среднее время гарантии': 'Warranty time mean',
    'СКО времени гарантии': 'Warranty time SD',
    'Расчетный период учета отказов': 'Failure counting period',
    'Расч. время приработки': 'Burn-in time',
    'Прервать расчет?': 'Abort the calculation?',
    'Файлы данных|*.txt;*.rel|Все файлы|*': 'Data files|*.txt;*.rel|All files|*',
    'Файл времен гарантии|gar*.txt|Все файлы|*': 'Warranty times file|gar*.txt|All files|*',
    'Параметры оптимизации': 'Optimisation parameters',
    'Минимум попадпний в столбец гистограммы': 'Minimum hits per histogram bar',
    'Коэф-т уменьшения шага модели 1.1': 'Step reduction factor, model 1.1',
    'Коэф-т уменьшения шага модели 1.2': 'Step reduction factor, model 1.2',
    'Коэф-т уменьшения шага модели 2': 'Step reduction factor, model 2',
    'Расчет': 'Calculation',
    'Время расчета (ч:мин:с)': 'Calculation time (h:min:s)',
    'Модель 1.1 по Пирсону, метод спирального спуска ': 'Model 1.1, Pearson criterion, spiral descent ',
    'Модель 1.2 по Пирсону, метод Ньютона ': "Model 1.2, Pearson criterion, Newton's method ",
    'Модель 2 (по Смирнову)': 'Model 2 (Smirnov criterion)',
    'Модель 3 (макс. правдоподобия)': 'Model 3 (maximum likelihood)',
    'Подбор по отдельным отказам с 95% доверительными интервалами и проверкой согласия':
        'Fit to the individual failures with 95% confidence intervals and a goodness-of-fit test',
    'Подбор СВН (мет.1)': 'Fit warranty mean (meth. 1)',
    'Подбор СКО (мет.1)': 'Fit warranty SD (meth. 1)',
    'Способ подбора параметров': 'Parameter fitting method',
    'Специальный 1 ': 'Special 1 ',
    'Стандарт (default)': 'Standard (default)',
    'Отображение после основного расчета, для нового файла перегрузить!':
        'Shown after the main calculation; reload for a new file!',
    'Точность подбора': 'Fitting accuracy',
    'Размер популяции': 'Population size',
    'Число поколений': 'Number of generations',
    'Скопировать лучших': 'Copy the best',
    'шт.': 'pcs',
    'Скопировать из популяции лучшие варианты и убрать столько же худших':
        'Copy the best variants of the population and remove as many of the worst',
    'Вероятность скрещивания': 'Crossover probability',
    'Вероятность мутаций': 'Mutation probability',
    'Вероятность скрещивания ': 'Crossover probability ',
    'Вероятность мутации ': 'Mutation probability ',
    'Подбор параметров генетическим алгоритмом': 'Fit the parameters with the genetic algorithm',
    'Стоп': 'Stop',
    'Ход расчета': 'Progress',
    'Лучших вариантов записано с последнего копирования': 'Best variants recorded since the last copy',
    'Записано лучших: ': 'Best recorded: ',
    ' (ч:мин:с)': ' (h:min:s)',
    '1. Основной подбор параметров распределения': '1. Main fit of the distribution parameters',
    '2. Генетический алгоритм': '2. Genetic algorithm',
    'Ход решения': 'Calculation log',
    'Данные из файла об отказах изделий': 'Product failures from the data file',
    'Файл исходных данных:': 'Failure data file:',
    'выберите файл кнопкой «Путь»': 'choose a file with the “Path” button',
    'Путь': 'Path',
    'Файл содержит строки комментария, среднего времени окончания гарантии, СКО гарантии, парка, числа всех отказов и массив времен отказов':
        'The file holds lines of a comment, the mean warranty end time, the warranty SD, the fleet, the number '
        'of all failures and the array of failure times',
    'Среднее количество объектов в гарантийный период': 'Mean number of units under warranty',
    'Количество независимых отказов 2-3 групп сложности': 'Number of independent failures of complexity groups 2-3',
    ' Среднее время гарантии': ' Warranty time mean',
    'Среднее время наблюдений': 'Mean observation time',
    ' СКО времени гарантии': ' Warranty time SD',
    ' Расчетный период учета отказов': ' Failure counting period',
    ' Расч. время приработки': ' Burn-in time',
    'Файл данных времен окончания гарантии': 'Warranty end times data file',
    'Результат расчета массива времен окончания гарантии': 'Calculated warranty end times',
    'Количество объектов анализа': 'Number of units analysed',
    'Среднее время гарантии, ч.': 'Warranty time mean, h',
    'СКО времени гарантии, ч.': 'Warranty time SD, h',
    'Количественный анализ закона распределения отказов. Анализ надежности в эксплуатации.':
        'Quantitative analysis of the failure distribution. Field reliability analysis.',
    'Отказы - факт и с коррекцией по выбыванию из гарантии, Ln количества\nЕсли поток снижается, параметры гарантийного срока завышены ':
        'Failures: actual and corrected for leaving warranty, Ln of the count\n'
        'If the rate falls, the warranty time parameters are too high ',
    'Время наработки, час': 'Operating time, h',
    'Отказов за 100 час. на изделие': 'Failures per 100 h per product',
    'Ln числа отказов': 'Ln of the number of failures',
    'Ln времени наработки': 'Ln of the operating time',
    'Изменение потока отказов в течение гарантийного периода': 'Failure rate over the warranty period',
    'Отказов за 100 час на 1 изделие': 'Failures per 100 h per product',
    'Накопление отказов, уход из наблюдения (гарантии), %': 'Failure accumulation, leaving observation (warranty), %',
    'Отказов на 1 изделие': 'Failures per product',
    'Выбывание из гарантии, %': 'Leaving warranty, %',
    'Интегральные (накопленные) оценки потока отказов': 'Cumulative estimates of the failure rate',
    'Продолж.': 'Continue',
    'Результаты анализа.pdf': 'Analysis results.pdf',
    'Анализ закона распределения отказов. Анализ надежности в эксплуатации.':
        'Analysis of the failure distribution. Field reliability analysis.',
    'Накопление отказов.pdf': 'Failure accumulation.pdf',
    'Параметры должны быть t2>t1': 'The parameters must satisfy t2>t1',
    ' № отказа': ' No.',
    'Расчёт модели по Пирсону методом спирального спуска выполнен за ':
        'Model 1.1 (Pearson criterion, spiral descent) calculated in ',
    'Расчёт модели по Пирсону методом Ньютона выполнен за ': "Model 1.2 (Pearson criterion, Newton's method) calculated in ",
    'Расчёт модели по Смирнову выполнен за ': 'Model 2 (Smirnov criterion) calculated in ',
    'Модель 1.1 по Пирсону: поиск остановлен по времени, не сойдясь (шаги параметров не стали меньше допусков) - оценки могут быть не наилучшими.':
        'Model 1.1 (Pearson): search stopped by its time limit before converging (the parameter steps did not fall '
        'below their tolerances) - the estimates may not be the best.',
    'Модель 2 по Смирнову: поиск остановлен по времени, не сойдясь (шаги параметров не стали меньше допусков) - оценки могут быть не наилучшими.':
        'Model 2 (Smirnov): search stopped by its time limit before converging (the parameter steps did not fall '
        'below their tolerances) - the estimates may not be the best.',
    'Расчёт модели 3 по максимуму правдоподобия выполнен за ': 'Model 3 (maximum likelihood) calculated in ',
    'Доверительный 95% интервал частотной диаграммы = ': '95% confidence interval of the frequency diagram = ',
    ',  СКО= ': ',  SD= ',
    'Шаг=': 'Step=',
    '  Sred=': '  Mean=',
    ' SKO=': ' SD=',
    'Модель 3 (максимум правдоподобия): ': 'Model 3 (maximum likelihood): ',
    'K и B по данным не разделимы: надежны только N(t) и гамма-ресурсы':
        'K and B cannot be separated by the data: only N(t) and the gamma lives are reliable',
    'Модель 3: ': 'Model 3: ',
    ' ч, K = ': ' h, K = ',
    ' отказам': ' failures',
    ' отказов на изделие': ' failures per product',
    'согласие с данными λ = ': 'goodness of fit λ = ',
    '(не согласуется)': '(does not agree)',
    '(согласуется)': '(agrees)',
    ' повторам': ' replicates',
    'отказы ниже 1 ч (брак) не учитываются: ': 'failures below 1 h (rejects) are not counted: ',
    'Создано генов ': 'Genes created: ',
    'Копирование лучших': 'Copying the best',
    'Исключительная ситуация!': 'Exception!',
    'Подбор не нашел ни одного варианта с конечным значением критерия: модель не изменена':
        'The fit found no variant with a finite criterion value: the model is unchanged',
    ' ЦФ=': ' OF=',
    'Кповт=': 'Krep=',
    ' по ': ' from ',
    ' Файл данных не загружен.': ' The data file was not loaded.',
    ' Файл времен гарантии не загружен.': ' The warranty times file was not loaded.',
    ' Файл наработок парка не загружен.': " The fleet's ages file was not loaded.",
    'Файл наработок парка не выбран': "No fleet ages file is chosen",
    'Сначала загрузите файл данных: число изделий сверяется с его парком.':
        "Load the data file first: the number of products is checked against its fleet.",
    ' изделий, а парк файла данных — ': ' products, and the data file\'s fleet is ',
    ' изделий: число изделий должно совпадать.': ' products: the numbers of products must be equal.',
    ' нет ни одного изделия.': ' there is no product.',
    'нет наработки изделия.': "the product's operating time is missing.",
    'наработка изделия ': "product's operating time ",
    'окончание гарантии ': 'warranty end ',
    'наработка в месяц ': 'hours per month ',
    ' не является числом (десятичный разделитель — точка или запятая).':
        ' is not a number (the decimal separator is a point or a comma).',
    'больше трех значений (наработка, окончание гарантии, наработка в месяц) — ':
        'more than three values (operating time, warranty end, hours per month) — ',
    ' лишнее.': ' is one too many.',
    'В файле данных отказ при наработке ': 'The data file has a failure at ',
    ' ч, а наибольшая наработка изделий в файле ': ' h, while the oldest product in the file ',
    'до окончания гарантии ожидается еще отказов: ': 'claims still expected before warranty ends: ',
    'парк в эксплуатации — Sred и СКО окончания гарантии не подбираются, берутся заданные':
        'a fleet in service — the warranty end figures Sred and SD are not fitted; the given ones are used',
    'помесячный прогноз не построен — не задана наработка в месяц (ни в файле наработок, ни для парка)':
        'no monthly forecast — no hours per month are given (neither in the ages file nor for the fleet)',
    'Файл наработок парка': "Fleet ages file",
    'файл наработок: ': 'ages file: ',
    'Парк в эксплуатации: наработка каждого изделия сейчас, окончание его гарантии и наработка в месяц, если известны':
        "A fleet in service: each product's operating time now, its warranty end and its hours per month when known",
    'Файл…': 'File…',
    'Наработка в месяц, ч (для изделий без своей)': 'Hours per month (for products without their own)',
    'Пусто — берется из файла наработок': 'Empty: taken from the ages file',
    'Месяцев прогноза': 'Months to forecast',
    'Файл наработок парка|*.txt|Все файлы|*': 'Fleet ages file|*.txt|All files|*',
    'Сначала загрузите файл данных: число изделий в файле наработок сверяется с его парком.':
        "Load the data file first: the number of products in the ages file is checked against its fleet.",
    '%1\nИзделий: %2, с известным окончанием гарантии: %3, с наработкой в месяц: %4; средняя наработка %5 ч':
        '%1\nProducts: %2, with a known warranty end: %3, with hours per month: %4; mean operating time %5 h',
    'Наработка в месяц': 'Hours per month',
    '«%1» в поле «Наработка в месяц» вне допустимых пределов (больше 0, до 744 ч).':
        '“%1” in the field “Hours per month” is out of range (above 0, up to 744 h).',
    '«%1» в поле «Месяцев прогноза» вне допустимых пределов (целое от 1 до %2).':
        '“%1” in the field “Months to forecast” is out of range (a whole number from 1 to %2).',
    'Открыть файл наработок парка…': 'Open fleet ages file…',
    'Файлы наработок парка': 'Fleet ages files',
    'Ожидается': 'Expected',
    '95% прогнозный интервал': '95% prediction interval',
    'Прогноз отказов по месяцам': 'Forecast of claims by month',
    'Месяц': 'Month',
    'Отказов в месяц': 'Claims a month',
    'Файл времен гарантии не выбран': 'No warranty times file is chosen',
    'Файл исходных данных не загружен': 'The failure data file is not loaded',
    'Не указан файл': 'No file is given',
    ' не существует': ' does not exist',
    ' — это папка, а не файл': ' is a folder, not a file',
    ' — не обычный файл': ' is not a regular file',
    'Не удалось открыть файл ': 'Could not open the file ',
    'Не удалось прочитать файл ': 'Could not read the file ',
    ' пуст.': ' is empty.',
    ' кончается в заголовке: нет числа ': ' ends in its header: no number ',
    'Строк отказов с ошибками в файле ': 'Failure rows with errors in file ',
    ' (всего строк отказов: ': ' (of all failure rows: ',
    'строка без табуляции, и ее первое слово — не наработка (разделите наработку и источник отказа табуляцией)':
        'a row without a tab whose first word is not a time (separate the time and the failure source with a tab)',
    'строка без табуляции, и неясно, где кончается наработка (разделите наработку и источник отказа табуляцией)':
        'a row without a tab in which the end of the time is unclear (separate the time and the failure source with a tab)',
    'в поле наработки управляющий символ': 'a control character in the time field',
    'наработка не является числом': 'the time is not a number',
    'наработка отрицательна': 'the time is negative',
    'наработка больше 1e9 ч': 'the time exceeds 1e9 h',
    'наработка не указана': 'no time given',
    'Ни одна строка отказа не прочитана.': 'No failure row could be read.',
    '… и ещё ': '… and ',
    'строка №': 'line ',
    'Загрузить остальные строки отказов (%1) без строк с ошибками?': 'Load the other failure rows (%1) without the rows with errors?',
    'Ошибка в строке №': 'Error in line ',
    ' файла ': ' of the file ',
    ' не является целым числом (': ' is not an integer (',
    ' не является числом (десятичный разделитель — точка).': ' is not a number (the decimal separator is a point).',
    ' не является числом (': ' is not a number (',
    '; десятичный разделитель — точка).': '; the decimal separator is a point).',
    ' вне допустимых пределов (': ' is out of range (',
    'среднее время гарантии': 'warranty time mean',
    'размер парка': 'fleet size',
    'число отказов': 'number of failures',
    'шестое число заголовка': 'sixth number of the header',
    'от 0 до 1e9 ч': '0 to 1e9 h',
    'от 1 до 1e9 изделий': '1 to 1e9 products',
    ': время окончания гарантии ': ': warranty end time ',
    'Гистограмма отказов пуста: в данных нет отказов. Модели не рассчитаны.':
        'The failure histogram is empty: the data hold no failures. No model was calculated.',
    'В данных нет независимых отказов (все отказы - брак). Модели не рассчитаны.':
        'The data hold no independent failures (all failures are rejects). No model was calculated.',
    'Гистограмма отказов пуста: в данных нет отказов. Подбор не запущен.':
        'The failure histogram is empty: the data hold no failures. The fit was not started.',
    'В данных нет независимых отказов (все отказы - брак). Подбор не запущен.':
        'The data hold no independent failures (all failures are rejects). The fit was not started.',
    '" не является числом. Расчет остановлен.': '" is not a number. The calculation was stopped.',
    '" не является конечным числом. Расчет остановлен.': '" is not a finite number. The calculation was stopped.',
    ' от начала файла) не является частью символа UTF-8, а файл записан в UTF-8':
        ' from the start of the file) is no part of a UTF-8 character, while the file is written in UTF-8',
    ' от начала файла) не является частью символа UTF-8, а файл помечен как UTF-8 (метка BOM)':
        ' from the start of the file) is no part of a UTF-8 character, while the file is marked as UTF-8 '
        '(byte-order mark)',
    '; всего таких байтов: ': '; such bytes in all: ',
    '. Исправьте эти байты или сохраните весь файл в одной кодировке: UTF-8 или Windows-1251.':
        '. Correct these bytes or save the whole file in one encoding: UTF-8 or Windows-1251.',
    '. Исправьте этот байт или сохраните весь файл в одной кодировке: UTF-8 или Windows-1251.':
        '. Correct this byte or save the whole file in one encoding: UTF-8 or Windows-1251.',
    '. Сохраните весь файл в одной кодировке: UTF-8 или Windows-1251.':
        '. Save the whole file in one encoding: UTF-8 or Windows-1251.',
    ': байт 0x': ': byte 0x',
    ' (смещение ': ' (offset ',
    ' записан в двух кодировках: до строки №': ' is written in two encodings: before line ',
    ' — UTF-8, с нее — Windows-1251': ', UTF-8; from it on, Windows-1251',
    ' — Windows-1251, с нее — UTF-8': ', Windows-1251; from it on, UTF-8',
    ': файл в кодировке ': ': the file is in the encoding ',
    ', но байты со смещения ': ', but the bytes from offset ',
    ' от начала файла не образуют символа (половина суррогатной пары без второй или код больше U+10FFFF).':
        ' from the start of the file form no character (half of a surrogate pair without the other, or a code '
        'above U+10FFFF).',
    ' обрывается посреди символа (строка №': ' ends in the middle of a character (line ',
    '): длина файла ': '): its length of ',
    ' байт не кратна ': ' bytes is not a multiple of ',
    ' в кодировке ': ' in the encoding ',
    ' содержит управляющий символ с кодом ': ' holds the control character of code ',
    ' Строки файла кончаются по-разному (CR в одних, LF в других): сохраните его с одинаковыми концами строк, CR LF или LF.':
        ' The lines of the file end differently (CR in some, LF in others): save it with the same line ends, '
        'CR LF or LF.',
    '(время окончания гарантии)': '(warranty end time)',
    ' не открыт: символические ссылки на этом пути образуют петлю':
        ' was not opened: the symbolic links on this path form a loop',
    ' не открыт: нет прав на доступ к папке, в которой он лежит':
        ' was not opened: no permission to enter the folder it lies in',
    ' байт): система не открывает файлы по пути длиннее 4095 байт или с именем папки или файла длиннее 255 байт':
        ' bytes): the system opens no file by a path longer than 4095 bytes or with a folder or file name '
        'longer than 255 bytes',
    ' слишком длинный (': ' is too long (',
    'Путь ': 'The path ',
    'В файле ': 'The file ',
    'Файл ': 'File ',
    'СКО времени гарантии в файле ': 'The warranty time SD in the file ',
    ' не положительно (': ' is not positive (',
    '): поправка на окончание гарантии вырождена.': '): the correction for the end of warranty degenerates.',
    ' есть отказы настолько позже среднего времени гарантии, что доля изделий, вышедших из гарантии, равна 1: вес каждого такого отказа ограничен значением 2^53.': ' has failures so far beyond the mean warranty time that the share of products out of warranty is 1: the weight of each such failure is limited to 2^53.',
    'Время приработки "': 'Burn-in time "',
    '" не является числом: частота отказов рассчитана для времени приработки начала расчета, ': '" is not a number: the failure rate was calculated for the burn-in time at the start of the calculation, ',
    'все окончания гарантии в списке не позже 1 ч — отказы не могли быть записаны': 'every warranty end in the list is at 1 h or earlier: no failure could have been recorded',
    'среднее окончание гарантии должно быть положительным числом (задано ': 'the mean warranty end must be a positive number (given ',
    'СКО окончания гарантии должно быть неотрицательным числом (задано ': 'the SD of the warranty end must be a non-negative number (given ',
    ' слишком велик (': ' is too large (',
    ' байт, допускается не более ': ' bytes, at most ',
    'названо более ': 'names more than ',
    ' причины отказов (строка №': ' failure causes (line ',
    '); допускается не более ': '); at most ',
    ' нет ни одной строки отказа: после заголовка и названий причин нет строки длиннее ': ' has no failure line: after the header and the cause names no line is longer than ',
    ' символов.': ' characters.',
    ' строк отказов; допускается не более ': ' failure lines; at most ',
    ' нет ни одной строки отказа: строки после названий причин пусты.': ' has no failure line: the lines after the cause names are empty.',
    ', исправьте)': ', correct it)',
    ' время окончания гарантии; для среднего и СКО нужно не менее двух.': ' warranty end time; the mean and SD need at least two.',
    ' нет ни одного': ' has no',
    ' только одно': ' has only one',
    'Времена окончания гарантии в файле ': 'The warranty end times in the file ',
    ' слишком велики: среднее или СКО не представимо числом.': ' are too large: the mean or the SD cannot be represented as a number.',
    'Размер популяции должен быть не меньше ': 'The population size must be at least ',
    'Размер популяции должен быть не больше ': 'The population size must be at most ',
    'Число поколений должно быть не меньше ': 'The number of generations must be at least ',
    'Число поколений должно быть от ': 'The number of generations must be from ',
    ' (задано ': ' (given ',
    ' вне допустимых пределов: 1/точность, округленная до целого, должна быть от 1 до 2147483647': ' is out of range: 1/accuracy rounded to an integer must be from 1 to 2147483647',
    'Точность подбора: "': 'Fitting accuracy: "',
    'Точность подбора ': 'Fitting accuracy ',
    'Размер популяции: "': 'Population size: "',
    'Число поколений: "': 'Number of generations: "',
    '" не является целым числом': '" is not an integer',
    '" не является числом': '" is not a number',
    ' до ': ' to ',
    'Брак': 'Rejects',
    'Другие': 'Other',
    ', отказов 10% от парка': ', failures: 10% of the fleet',
    ', отказов 20% от парка': ', failures: 20% of the fleet',
    ', отказов 50% от наблюдаемого парка': ', failures: 50% of the observed fleet',
    ', отказов 50% от парка с учетом цензурирования': ', failures: 50% of the fleet, corrected for censoring',
    ', отказов 80% от парка': ', failures: 80% of the fleet',
    ' отказов': ' failures',
    'Наработка, ч': 'Op. time, h',
    'Источник отказа': 'Failure source',
    'Описание отказа': 'Failure description',
    # Menu bar, charts, tables and files.
    'Файл «%1» не записан: %2': 'The file “%1” was not written: %2',
    'это папка, а не файл': 'it is a folder, not a file',
    'неизвестный формат файла отчета «%1»: укажите файл .pdf, .svg или .png':
        'unknown report file format “%1”: give a .pdf, .svg or .png file',
    'Анализ отказов изделий в гарантийной эксплуатации.\n'
    '\n'
    'Использование:\n'
    '  relan [ФАЙЛ]         открыть окно программы; ФАЙЛ - файл данных об отказах\n'
    '  relan --lang en|ru [ФАЙЛ]\n'
    '                       окно на английском или на русском языке\n'
    '  relan --report ОТЧЕТ ДАННЫЕ [параметры]\n'
    '                       расчет без окна; окно результатов записывается в ОТЧЕТ:\n'
    '                       PDF, SVG или PNG по расширению файла (.pdf, .svg, .png);\n'
    '                       параметры - как у relan-cli fit (relan --report ОТЧЕТ --help)\n'
    '  relan --help         эта справка\n'
    '  relan --version      версия программы\n'
    '\n'
    'Коды завершения: 0 - готово, 1 - неверный параметр, 2 - файл данных не загружен,\n'
    '3 - расчет остановлен, 4 - файл отчета не записан, 5 - внутренняя ошибка.\n':
    'Analysis of product failures in warranty operation.\n'
    '\n'
    'Usage:\n'
    '  relan [FILE]         open the program window; FILE is a failure data file\n'
    '  relan --lang en|ru [FILE]\n'
    '                       the window in English or in Russian\n'
    '  relan --report REPORT DATA [options]\n'
    '                       calculation without a window; the results window is written\n'
    '                       to REPORT: PDF, SVG or PNG by its extension (.pdf, .svg, .png);\n'
    '                       options as for relan-cli fit (relan --report REPORT --help)\n'
    '  relan --help         this help\n'
    '  relan --version      the program version\n'
    '\n'
    'Exit statuses: 0 done, 1 bad option, 2 data file not loaded,\n'
    '3 calculation stopped, 4 report file not written, 5 internal error.\n',
    'Копировать изображение': 'Copy image',
    'Сохранить как PNG…': 'Save as PNG…',
    'Сохранить как SVG…': 'Save as SVG…',
    'Исходный масштаб': 'Original scale',
    'График': 'Chart',
    'Сохранить график': 'Save chart',
    'Рисунки SVG (*.svg)': 'SVG images (*.svg)',
    'Рисунки PNG (*.png)': 'PNG images (*.png)',
    'Язык': 'Language',
    'Язык интерфейса изменится при следующем запуске программы.':
        'The interface language will change at the next start of the program.',
    'Отказы': 'Failures',
    'Прямая по методу наименьших квадратов': 'Least-squares line',
    't = %1 ч, N = %2': 't = %1 h, N = %2',
    'Результаты анализа': 'Analysis results',
    'Дождитесь окончания расчета: книга Excel записывается по его результатам.':
        'Wait for the calculation to end: the Excel workbook is written from its results.',
    'Файл': 'File',
    'Открыть данные…': 'Open data…',
    'Открыть файл гарантии…': 'Open warranty file…',
    'Последние файлы': 'Recent files',
    'Сохранить отчет PDF…': 'Save PDF report…',
    'Выход': 'Exit',
    'Генетический алгоритм': 'Genetic algorithm',
    'Вид': 'View',
    'Показать результаты': 'Show results',
    'Справка': 'Help',
    'Формат файлов': 'File formats',
    'О программе': 'About',
    'Файл «%1» не найден. Он убран из списка последних файлов.':
        'The file “%1” was not found. It has been removed from the recent files.',
    'Сохранить отчет PDF': 'Save PDF report',
    'Отчет сохранен: %1': 'Report saved: %1',
    'Закрыть': 'Close',
    'relan — анализ надежности изделий в гарантийной эксплуатации\nВерсия %1\n\n'
    'Используемые библиотеки и их лицензии:\nQt %2 — GNU LGPL v3\nBoost.Math — Boost Software License 1.0\n'
    'Eigen — Mozilla Public License 2.0\nlibxlsxwriter — BSD 2-Clause\nnlohmann-json — MIT\nCLI11 — BSD 3-Clause':
    'relan — reliability analysis of products in warranty operation\nVersion %1\n\n'
    'Libraries used and their licences:\nQt %2 — GNU LGPL v3\nBoost.Math — Boost Software License 1.0\n'
    'Eigen — Mozilla Public License 2.0\nlibxlsxwriter — BSD 2-Clause\nnlohmann-json — MIT\nCLI11 — BSD 3-Clause',
    'Копировать': 'Copy',
    'Выделить строки': 'Select rows',
    'Выделить столбцы': 'Select columns',
    'Выделить все': 'Select all',
    'Сохранить как CSV…': 'Save as CSV…',
    'Сохранить как Excel…': 'Save as Excel…',
    'Сохранить как Excel': 'Save as Excel',
    'Сохранить как CSV': 'Save as CSV',
    'Книги Excel (*.xlsx)': 'Excel workbooks (*.xlsx)',
    'Файлы CSV (*.csv)': 'CSV files (*.csv)',
}


def main(path):
    tree = ET.parse(path)
    missing = []
    for ctx in tree.getroot().iter('context'):
        for m in ctx.iter('message'):
            src = m.find('source').text or ''
            tr = m.find('translation')
            if tr.get('type') in ('vanished', 'obsolete'):
                continue
            if src in EN:
                tr.text = EN[src]
                tr.attrib.pop('type', None)
            elif tr.get('type') == 'unfinished':
                missing.append(src)
    tree.write(path, encoding='utf-8', xml_declaration=True)
    with open(path, encoding='utf-8') as f:
        body = f.read()
    with open(path, 'w', encoding='utf-8') as f:
        body = body.replace("<?xml version='1.0' encoding='utf-8'?>",
                            '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>')
        # Quotes in texts escaped as lupdate writes them, so that both leave the file alike.
        body = re.sub(r'>([^<]*)</(source|translation)>',
                      lambda m: '>' + m.group(1).replace('"', '&quot;').replace("'", '&apos;') + '</' + m.group(2) + '>',
                      body)
        f.write(body)
    for s in missing:
        print('untranslated:', repr(s), file=sys.stderr)
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else 'translations/relan_en.ts'))
