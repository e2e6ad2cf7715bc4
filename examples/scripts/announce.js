// Says a line every so many minutes while the bot is logged in. Listed users change it:
// "!announce 30 Welcome to the channel!" says that line every 30 minutes, "!announce off"
// stops it, "!announce" tells what is set. The setting is kept in the script's store.
var settings = bot.store.get('settings') || {minutes: 0, text: ''};
var timer = 0;

function start() {
    if (timer !== 0) bot.cancel(timer);
    timer = 0;
    if (settings.minutes > 0 && settings.text !== '') {
        timer = bot.every(settings.minutes * 60 * 1000, function () { bot.say(settings.text); });
    }
}

bot.command('announce', function (user, argument) {
    var words = argument.trim();
    if (words === '') {
        bot.say(timer === 0 ? 'No announcement.'
                            : 'Every ' + settings.minutes + ' minutes: ' + settings.text);
        return;
    }
    if (words.toLowerCase() === 'off') {
        settings = {minutes: 0, text: ''};
    } else {
        var blank = words.indexOf(' ');
        var minutes = Number(blank < 0 ? words : words.slice(0, blank));
        if (!(minutes >= 1) || blank < 0) {
            bot.say('Say it like this: ' + bot.trigger + 'announce 30 the line, or ' +
                    bot.trigger + 'announce off.');
            return;
        }
        settings = {minutes: minutes, text: words.slice(blank + 1).trim()};
    }
    bot.store.set('settings', settings);
    start();
    bot.say(timer === 0 ? 'Announcement off.' : 'Announcing every ' + settings.minutes + ' minutes.');
});

start();
