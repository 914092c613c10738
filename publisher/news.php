<?php
// The news of this service: the one file a publisher edits (see README.md).
// Saved as UTF-8; the service converts it for the planner.
return [
    // Who may read the news: publisher ID => brand code => the levels sold under that code
    // ("Master", "Platinum", "Gold").
    'publishers' => [
        '1' => [
            'ZELVODEMO' => ['Master'],
        ],
    ],

    // The news items, in any order. 'id' is a whole number: a larger id is a newer item, and
    // an id is never reused. 'levels' (optional) keeps an item to some levels only.
    'items' => [
        [
            'id' => 1,
            'title' => 'Welcome to Project Zelvo',
            'date' => 'March 2, 2026',
            'body' => <<<'HTML'
<h2>Welcome to Project Zelvo</h2>
<p>Thank you for choosing Project Zelvo, the planner for people who run small online-marketing
projects. This news window is where we tell you about new versions, tips and offers.</p>
<h3>Three things to try first</h3>
<ol>
  <li>Press <b>New Project</b>, give the project a name, a category and its dates.</li>
  <li>Add the tasks of the project with <b>Add New Task</b> and tick them off as you go:
      the gauge shows how far you are.</li>
  <li>Open the <b>Calendar</b> page and plan your day, one action for each hour.</li>
</ol>
<p>Remember that your work is written to disk when you press <b>Save Changes</b> (Ctrl+S).</p>
<p>Questions? Write to <a href="mailto:support@projectzelvo.com">support@projectzelvo.com</a>.</p>
HTML,
        ],
        [
            'id' => 2,
            'title' => 'Ten minutes a day: planning a product launch',
            'date' => 'March 16, 2026',
            'body' => <<<'HTML'
<h2>Ten minutes a day: planning a product launch</h2>
<p><i>Published March 16, 2026</i></p>
<p>A launch is many small tasks with one date that does not move. Here is how our users keep
it under control with Project Zelvo:</p>
<ul>
  <li><b>One project per launch</b>, in a category such as &ldquo;Launches&rdquo;, with the
      launch day as its end date.</li>
  <li><b>Tasks for every channel</b>: the sales page, the e-mail sequence, the affiliate
      briefing, the social posts. Put the details in the task notes.</li>
  <li><b>Hours for the big day</b>: on the calendar page, plan the launch morning hour by
      hour, so nothing is forgotten when the traffic comes.</li>
</ul>
<table border="1" cellpadding="4" cellspacing="0">
  <tr><th>Days before launch</th><th>Focus</th></tr>
  <tr><td>14</td><td>Sales page and offer</td></tr>
  <tr><td>7</td><td>E-mails and affiliates</td></tr>
  <tr><td>1</td><td>Checks and the hour plan</td></tr>
</table>
<p>Read the full guide on <a href="https://www.projectzelvo.com/guides/launch">our
website</a>. Prices in this guide are in $ and &euro; &mdash; both travel safely.</p>
HTML,
        ],
    ],
];
