<?php
// The news list (conttype "all") or the latest item (conttype "lastcode") for a publisher ID,
// brand code and level.
require __DIR__ . '/newsservice.inc.php';

$news = news_load();
$level = news_check_request($news);
$items = news_items_for($news, $level);
if (news_field('conttype') === 'lastcode') {
    $items = array_slice($items, 0, 1);
}
news_reply(news_records_reply(array_map('news_record', $items)));
