// A quote book for the channel. Anyone: "!quote" says a quote picked at random, "!quote 3" the
// third. Listed users: "!addquote text" adds one, "!delquote 3" removes the third. The book is
// kept in the script's store, so it outlives restarts.
var quotes = bot.store.get('quotes') || [];

function save() {
    bot.store.set('quotes', quotes);
}

bot.command('quote', function (user, argument) {
    if (quotes.length === 0) {
        bot.say('The quote book is empty: add one with ' + bot.trigger + 'addquote.');
        return;
    }
    var wanted = parseInt(argument, 10);
    var index = isNaN(wanted) ? Math.floor(Math.random() * quotes.length) : wanted - 1;
    if (index < 0 || index >= quotes.length) {
        bot.say('There are ' + quotes.length + ' quotes, from 1 to ' + quotes.length + '.');
        return;
    }
    bot.say('Quote ' + (index + 1) + ': ' + quotes[index]);
}, {anyone: true});

bot.command('addquote', function (user, argument) {
    var text = argument.trim();
    if (text === '') {
        bot.say('Say it like this: ' + bot.trigger + 'addquote the quote.');
        return;
    }
    quotes.push(text);
    save();
    bot.say('Quote ' + quotes.length + ' added.');
});

bot.command('delquote', function (user, argument) {
    var index = parseInt(argument, 10) - 1;
    if (isNaN(index) || index < 0 || index >= quotes.length) {
        bot.say('There is no quote ' + argument.trim() + '.');
        return;
    }
    quotes.splice(index, 1);
    save();
    bot.say('Quote ' + (index + 1) + ' removed; ' + quotes.length + ' left.');
});
