<?php
// Shared by getlastnews.php and getnewsdetails.php: reads the news file, checks the request
// and writes the replies the planner understands. Plain PHP, no extensions beyond the core.

const NEWS_RECORD_SEPARATOR = "\xAF";
const NEWS_FIELD_SEPARATOR = '^';
const NEWS_LEVELS = ['BM' => 'Master', 'BP' => 'Platinum', 'BG' => 'Gold'];

// Sends one reply and ends the script. The planner trims blanks and line breaks around it.
function news_reply(string $text): void
{
    header('Content-Type: text/plain; charset=windows-1252');
    header('Cache-Control: no-store');
    echo $text;
    exit;
}

// The posted field, or '' when it is missing.
function news_field(string $name): string
{
    $value = $_POST[$name] ?? '';
    return is_string($value) ? $value : '';
}

// The news file as an array, or null when it is missing or not in the expected shape.
function news_load(): ?array
{
    $file = __DIR__ . '/news.php';
    if (!is_file($file)) {
        return null;
    }
    $news = include $file;
    if (!is_array($news) || !is_array($news['publishers'] ?? null)
        || !is_array($news['items'] ?? null)) {
        return null;
    }
    return $news;
}

// Checks the publisher ID, the brand code and the level of the request. Replies with the
// error code and ends the script when one fails; otherwise returns the level's name.
function news_check_request(?array $news): string
{
    if ($news === null) {
        news_reply('CONNECTIONFAIL');
    }
    $brands = $news['publishers'][news_field('memusername')] ?? null;
    if (!is_array($brands)) {
        news_reply('INVALIDUSER');
    }
    $level = NEWS_LEVELS[news_field('prodtype')] ?? null;
    $levels = $brands[news_field('prodcode')] ?? null;
    if ($level === null || !is_array($levels) || !in_array($level, $levels, true)) {
        news_reply('INVALIDPRODUCT');
    }
    return $level;
}

// The items a level may read, newest (largest id) first.
function news_items_for(array $news, string $level): array
{
    $items = array_filter($news['items'], function ($item) use ($level) {
        return is_array($item) && isset($item['id'], $item['title'])
            && (!isset($item['levels']) || in_array($level, (array)$item['levels'], true));
    });
    usort($items, fn($a, $b) => (int)$b['id'] <=> (int)$a['id']);
    return $items;
}

// UTF-8 text of the news file as the planner's Windows-1252 bytes.
function news_ansi(string $text): string
{
    if (function_exists('iconv')) {
        $converted = @iconv('UTF-8', 'Windows-1252//TRANSLIT', $text);
        if ($converted !== false) {
            return $converted;
        }
    }
    return preg_replace('/[^\x00-\x7F]/', '?', $text);
}

// One field of a record: one line, without the separators.
function news_record_field(string $text): string
{
    $text = news_ansi($text);
    $text = str_replace([NEWS_RECORD_SEPARATOR, NEWS_FIELD_SEPARATOR, "\r", "\n", "\t"], ' ',
                        $text);
    return trim($text);
}

// id ^ title ^ date
function news_record(array $item): string
{
    return implode(NEWS_FIELD_SEPARATOR, [
        (string)(int)$item['id'],
        news_record_field((string)$item['title']),
        news_record_field((string)($item['date'] ?? '')),
    ]);
}

// Records, each followed by the record separator, then "OK"; "OK" alone without records.
function news_records_reply(array $records): string
{
    $reply = '';
    foreach ($records as $record) {
        $reply .= $record . NEWS_RECORD_SEPARATOR;
    }
    return $reply . 'OK';
}

// The body with "$" and every byte outside printable ASCII (line breaks and tabs excepted)
// written as "$" and two hexadecimal digits, so that no separator or marker can occur in it.
function news_escape_body(string $html): string
{
    return preg_replace_callback('/[^\x20-\x7E\r\n\t]|\$/', function ($m) {
        return sprintf('$%02X', ord($m[0]));
    }, news_ansi($html));
}
