<?php
// The HTML body of one news item, escaped, for a publisher ID, brand code and level.
require __DIR__ . '/newsservice.inc.php';

$news = news_load();
$level = news_check_request($news);
$wanted = news_field('newsid');
foreach (news_items_for($news, $level) as $item) {
    if ($wanted !== '' && (string)(int)$item['id'] === $wanted) {
        news_reply(news_escape_body((string)($item['body'] ?? '')) . NEWS_RECORD_SEPARATOR . 'OK');
    }
}
news_reply('INVALIDNEWS');
