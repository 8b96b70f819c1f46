-- The benchmark table: :rows rows of 8 columns (int, two varchars, text, numeric, int, timestamp,
-- boolean), about 128 bytes a row as COPY text, from a seeded generator so every run reads the same
-- rows. Some texts carry quotes, non-ASCII characters or NULL.
drop table if exists bench_items;
create table bench_items (
    id integer primary key,
    code varchar(20) not null,
    name varchar(100),
    note text,
    price numeric(12, 2),
    qty integer,
    created timestamp,
    active boolean
);
select setseed(0.2009);
insert into bench_items
select g,
       'ITEM-' || lpad(g::text, 7, '0'),
       'Item ' || substr(md5(random()::text), 1, 8 + (random() * 20)::int),
       case when random() < 0.05 then null
            when random() < 0.10 then 'it''s a note with a quote, éàü and € signs ' || g
            else 'note ' || substr(md5(random()::text) || md5(random()::text), 1, 12 + (random() * 44)::int) end,
       round((random() * 100000)::numeric, 2),
       (random() * 1000)::int,
       timestamp '2009-01-01' + random() * interval '3000 days',
       random() < 0.5
from generate_series(1, :rows) as g;
vacuum analyze bench_items;
